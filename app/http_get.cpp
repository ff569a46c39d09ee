#include "app/http_get.h"

#include "app/bounded_call.h"
#include "app/descriptor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxAnswer = 4 * 1024 * 1024;

using Clock = std::chrono::steady_clock;
using AddressList = std::shared_ptr<addrinfo>;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

// False when the deadline passes first: a server trickling bytes cannot stretch the budget.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    int ready;
    do {
        ready = poll(&entry, 1, MillisecondsLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Nothing when the name cannot be resolved before the deadline.
AddressList Resolve(const HttpAddress& address, Clock::time_point deadline) {
    const std::optional<AddressList> found = CallWithin<AddressList>(deadline, [host = address.host,
                                                                                port = address.port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &list) != 0)
            return AddressList();
        return AddressList(list, freeaddrinfo);
    });
    return found ? *found : AddressList();
}

bool Connect(int fd, const addrinfo& address, Clock::time_point deadline) {
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return true;
    if (errno != EINPROGRESS || !WaitFor(fd, POLLOUT, deadline))
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool SendAll(int fd, const std::string& bytes, Clock::time_point deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (!WaitFor(fd, POLLOUT, deadline))
            return false;
        const ssize_t count = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count <= 0)
            return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

std::optional<std::string> ReceiveAll(int fd, Clock::time_point deadline) {
    std::string answer;
    char buffer[8192];
    while (answer.size() <= kMaxAnswer) {
        if (!WaitFor(fd, POLLIN, deadline))
            return std::nullopt;
        const ssize_t count = recv(fd, buffer, sizeof buffer, 0);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return answer;
        answer.append(buffer, static_cast<size_t>(count));
    }
    return std::nullopt;
}

// "HTTP/1.x 200 ..." then headers, a blank line and the body.
std::optional<std::string> BodyOfSuccess(const std::string& answer) {
    if (answer.compare(0, 5, "HTTP/") != 0)
        return std::nullopt;
    const size_t space = answer.find(' ');
    if (space == std::string::npos || answer.compare(space + 1, 3, "200") != 0)
        return std::nullopt;
    size_t end = answer.find("\r\n\r\n");
    size_t skip = 4;
    if (end == std::string::npos) {
        end = answer.find("\n\n");
        skip = 2;
    }
    if (end == std::string::npos)
        return std::nullopt;
    return answer.substr(end + skip);
}

}  // namespace

std::optional<std::string> HttpGet(const HttpAddress& address, int timeoutSeconds) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    const AddressList found = Resolve(address, deadline);
    if (!found)
        return std::nullopt;
    std::optional<std::string> body;
    const std::string request = "GET " + address.path + " HTTP/1.0\r\nHost: " + address.host +
                                "\r\nConnection: close\r\n\r\n";
    for (const addrinfo* candidate = found.get(); candidate && !body; candidate = candidate->ai_next) {
        Descriptor fd(socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                             candidate->ai_protocol));
        if (fd.Get() < 0 || !Connect(fd.Get(), *candidate, deadline))
            continue;
        if (!SendAll(fd.Get(), request, deadline))
            break;
        if (const std::optional<std::string> answer = ReceiveAll(fd.Get(), deadline))
            body = BodyOfSuccess(*answer);
        break;  // the server was reached: its answer, good or bad, is the result
    }
    return body;
}
