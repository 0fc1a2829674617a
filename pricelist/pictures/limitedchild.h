#pragma once
// Runs a helper program as a short-lived child under limits: address space, CPU time,
// open files, no new sockets (seccomp, where the architecture is known), no core file; its
// standard input and output are pipes, its standard error /dev/null, nothing else is
// inherited. Every wait ends: past the wall-clock limit the child is killed. Safe to call
// from any thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ChildLimits {
    qint64 addressSpaceBytes = qint64(256) * 1024 * 1024;
    int cpuSeconds = 2;
    int openFiles = 64;
    int wallMilliseconds = 5000;
    qint64 outputLimit = 64 * 1024 * 1024; // more output ends the child
};

struct ChildResult {
    enum class Outcome { Exited, Signalled, TimedOut, OutputTooLarge, NotStarted };
    Outcome outcome = Outcome::NotStarted;
    int code = 0; // exit code, or the signal
    QByteArray output;
};

ChildResult runLimitedChild(const QString& program, const QStringList& arguments, const QByteArray& input,
                            const ChildLimits& limits = {});
