#pragma once
// The private server of a benchmark run: started fresh with room for the table in its
// buffer pool (the server's disk is not what is measured), filled with realistic
// products, stopped and removed at the end.

#include "db/connection.h"

#include <string>

class BenchServer {
public:
    // Starts the server (scripts/mariadb-private); port() is 0 when that failed.
    explicit BenchServer(const char* bufferPool = "256M");
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    unsigned port() const { return port_; }
    ConnectionSettings programSettings() const;
    // Fills `product` with `rows` products: text "<goods>, <colour> nr <n>", a quarter
    // with a description, a third with a picture, the usual columns set.
    void fill(int rows) const;

private:
    std::string folder_;
    unsigned port_ = 0;
};
