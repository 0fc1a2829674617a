#pragma once
// What the database benchmarks share: a private server of their own holding N realistic
// products, and one side of a comparison run in a child process, so that its peak
// resident size is its own.

#include "db/connection.h"

#include <functional>
#include <string>
#include <vector>

class ProductServer {
public:
    // Starts a fresh server (room for the whole table in its buffer pool: the server's
    // disk is not measured) and fills `product`; exits the process when that fails.
    ProductServer(const char* script, int rows);
    ~ProductServer();
    unsigned port() const { return port_; }
    ConnectionSettings programSettings() const;
    ConnectionSettings adminSettings() const;

private:
    void fill(int rows);
    std::string script_;
    std::string folder_;
    unsigned port_ = 0;
};

struct ChildRun {
    std::vector<double> values; // what the side returned (its own timings)
    long peakKiB = 0;           // peak resident size of the child
    double cpuSeconds = 0;      // the child's user + system time
};

// Runs side in a forked child and collects what it returns (at most 16 values).
ChildRun inChild(const std::function<std::vector<double>()>& side);

// Minimum, median and maximum.
struct Spread {
    double min, median, max;
};
Spread spreadOf(std::vector<double> values);
