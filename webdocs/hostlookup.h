#pragma once
// The look-up of a server's host name, bounded like every other wait on the server.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// The numeric addresses of host (IPv4 or IPv6), as the system's resolver gives them. It may
// block; it throws HttpFetchError when the name is unknown.
using HostLookup = std::function<std::vector<std::string>(const std::string& host)>;

std::vector<std::string> systemHostLookup(const std::string& host);

// Runs lookup on a thread of its own and waits at most limit for it, calling waiting about
// every 50 ms meanwhile. A look-up that takes longer fails with HttpFetchError; its thread
// is left to end by itself (the system's resolver cannot be cancelled).
std::vector<std::string> lookUpWithin(const HostLookup& lookup, const std::string& host,
                                      std::chrono::milliseconds limit, const std::function<void()>& waiting);
