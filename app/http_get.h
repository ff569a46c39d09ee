#pragma once
// A plain HTTP/1.0 GET for the update check's worker thread. The toolkit's sockets register with the
// GUI thread's main loop under GTK, which then dispatches notifications for a socket that the worker
// is destroying; this client keeps everything on the thread that calls it.

#include <optional>
#include <string>

struct HttpAddress {
    std::string host;
    std::string port;  // a number or a service name
    std::string path;  // with the query, always starting with "/"
};

// The body of a 200 answer, or nothing when the server cannot be reached, answers anything else, or the
// whole fetch (resolving the name, connecting, sending, reading) takes longer than `timeoutSeconds`.
// Bodies are capped at a few megabytes.
std::optional<std::string> HttpGet(const HttpAddress& address, int timeoutSeconds);
