#include "bench/xwaits.h"

#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <xcb/xcb.h>

namespace {
std::atomic<std::int64_t> waits{0};
std::atomic<std::int64_t> waited{0};

struct Timed {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ~Timed()
    {
        ++waits;
        waited += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
    }
};

template <class Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}
} // namespace

XWaits xWaitsSoFar()
{
    return {waits.load(), waited.load()};
}

// Every reply function of libxcb and its extensions ends in one of these. Only the UI
// thread asks for replies; Qt's event reader thread waits for events, not replies.
extern "C" void* xcb_wait_for_reply(xcb_connection_t* connection, unsigned int request, xcb_generic_error_t** error)
{
    using Real = void* (*)(xcb_connection_t*, unsigned int, xcb_generic_error_t**);
    static const Real real = next<Real>("xcb_wait_for_reply");
    Timed timed;
    return real(connection, request, error);
}

extern "C" xcb_generic_error_t* xcb_request_check(xcb_connection_t* connection, xcb_void_cookie_t cookie)
{
    using Real = xcb_generic_error_t* (*)(xcb_connection_t*, xcb_void_cookie_t);
    static const Real real = next<Real>("xcb_request_check");
    Timed timed;
    return real(connection, cookie);
}
