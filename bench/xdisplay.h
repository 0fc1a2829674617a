#pragma once
// An X display for a benchmark run: the one named in DISPLAY, or a private Xvfb started
// for the run (and stopped with this object) when DISPLAY is unset.

#include <string>
#include <sys/types.h>

class XDisplay {
public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    const std::string& name() const { return name_; } // ":N"
    bool isPrivate() const { return xvfb_ > 0; }

private:
    std::string name_;
    pid_t xvfb_ = -1;
};
