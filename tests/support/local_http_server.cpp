#include "tests/support/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

int ListeningSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // port 0: the system picks a free one
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(fd, 8) != 0) {
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

std::string LocalHttpServer::Response(const std::string& status, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

LocalHttpServer::LocalHttpServer(std::string response, std::chrono::milliseconds pause)
    : m_response(std::move(response)), m_pause(pause) {
    m_listener = ListeningSocket(m_port);
    if (pipe2(m_wakeUp, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_thread = std::thread(&LocalHttpServer::Serve, this);
}

LocalHttpServer::~LocalHttpServer() {
    const char stop = 1;
    (void)!write(m_wakeUp[1], &stop, 1);
    m_thread.join();
    close(m_listener);
    close(m_wakeUp[0]);
    close(m_wakeUp[1]);
}

std::vector<std::string> LocalHttpServer::RequestLines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requestLines;
}

std::string LocalHttpServer::ReadRequest(int connection) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd ready{connection, POLLIN, 0};
        if (poll(&ready, 1, 2000) <= 0)
            break;
        const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    return request.substr(0, request.find("\r\n"));
}

void LocalHttpServer::Serve() {
    while (true) {
        pollfd ready[2] = {{m_listener, POLLIN, 0}, {m_wakeUp[0], POLLIN, 0}};
        if (poll(ready, 2, -1) < 0 || ready[1].revents)
            return;
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        const std::string requestLine = ReadRequest(connection);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requestLines.push_back(requestLine);
        }
        Send(connection);
        shutdown(connection, SHUT_WR);
        close(connection);
    }
}

void LocalHttpServer::Send(int connection) {
    for (char byte : m_response) {
        pollfd stop{m_wakeUp[0], POLLIN, 0};
        if (poll(&stop, 1, static_cast<int>(m_pause.count())) != 0 || send(connection, &byte, 1, MSG_NOSIGNAL) != 1)
            return;
        ++m_trickled;
    }
}
