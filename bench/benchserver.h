#pragma once
// The benchmarks' own MariaDB server (scripts/mariadb-private) holding N realistic products.

#include "db/connection.h"

#include <string>

class BenchServer {
public:
    // Starts a fresh server in a folder of its own; bufferPool is the server's
    // --innodb-buffer-pool-size, large enough that the server's disk is not measured;
    // options are more server options (they win over the script's own).
    explicit BenchServer(const char* bufferPool = "256M", const char* options = "");
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    unsigned port() const { return port_; }
    ConnectionSettings programSettings() const; // the program's user on brisvald
    // Replaces the table's rows by that many products: Norwegian texts, a third with a
    // picture, a quarter with a description, prices and flags spread.
    void fill(int rows);

private:
    std::string script_;
    std::string folder_;
    unsigned port_ = 0;
};
