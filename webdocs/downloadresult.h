#pragma once
// What one download came to, handed back to whoever started it.

#include <QString>

struct DownloadResult {
    enum class Outcome {
        Received, // the target holds the answer's body
        Failed,   // the failure box was shown; the target is untouched
        Refused,  // not fetched: the address is not one the download may reach; logged
    };

    Outcome outcome = Outcome::Failed;
    // The text the user was shown ("Feil i nedlasting av: " + URL) or the line written to
    // the log; empty after a success.
    QString message;

    bool received() const { return outcome == Outcome::Received; }

    static DownloadResult success() { return {Outcome::Received, {}}; }
    static DownloadResult failure() { return {Outcome::Failed, {}}; } // the text comes with the box
    static DownloadResult refusal(const QString& logged) { return {Outcome::Refused, logged}; }
};
