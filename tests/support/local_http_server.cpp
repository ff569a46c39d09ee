#include "tests/support/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

std::string LocalHttpServer::Response(const std::string& status, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

LocalHttpServer::LocalHttpServer(std::string response, std::chrono::milliseconds pause)
    : m_response(std::move(response)), m_pause(pause) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // port 0: the system picks a free one
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(m_listener, 8) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread(&LocalHttpServer::Serve, this);
}

LocalHttpServer::~LocalHttpServer() {
    m_stopping = true;
    shutdown(m_listener, SHUT_RDWR);  // wakes the accept
    m_thread.join();
    close(m_listener);
}

std::vector<std::string> LocalHttpServer::RequestLines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requestLines;
}

void LocalHttpServer::Serve() {
    int connection;
    while ((connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        std::string request;
        char buffer[1024];
        pollfd ready{connection, POLLIN, 0};
        ssize_t n = 1;
        while (request.find("\r\n\r\n") == std::string::npos && poll(&ready, 1, 2000) > 0 &&
               (n = recv(connection, buffer, sizeof buffer, 0)) > 0)
            request.append(buffer, static_cast<size_t>(n));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requestLines.push_back(request.substr(0, request.find("\r\n")));
        }
        for (char byte : m_response) {
            std::this_thread::sleep_for(m_pause);
            if (m_stopping || send(connection, &byte, 1, MSG_NOSIGNAL) != 1)
                break;
            ++m_trickled;
        }
        close(connection);
    }
}
