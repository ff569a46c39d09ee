#pragma once
// A small HTTP server on 127.0.0.1 for tests that fetch over the network. It runs on a thread of its own,
// on a free port, and answers every request with one fixed response, at once or trickled out byte by byte.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    // An HTTP/1.0 response with the given status line text ("200 OK") and body.
    static std::string Response(const std::string& status, const std::string& body) {
        return "HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    // With a pause, the response trickles out one byte per pause.
    explicit LocalHttpServer(std::string response, std::chrono::milliseconds pause = std::chrono::milliseconds(0))
        : m_response(std::move(response)), m_pause(pause), m_listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};  // port 0: the system picks a free one
        socklen_t length = sizeof address;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(m_listener, 8) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread(&LocalHttpServer::Serve, this);
    }
    ~LocalHttpServer() {
        m_stopping = true;
        shutdown(m_listener, SHUT_RDWR);  // wakes the accept
        m_thread.join();
        close(m_listener);
    }

    int Port() const { return m_port; }
    std::string Address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    // Bytes of the response sent so far, and the request lines received ("GET /x HTTP/1.0").
    size_t Trickled() const { return m_trickled; }
    std::vector<std::string> RequestLines() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requestLines;
    }

private:
    void Serve() {
        int connection;
        while ((connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
            std::string request;
            char buffer[1024];
            pollfd ready{connection, POLLIN, 0};
            ssize_t n = 0;
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

    const std::string m_response;
    const std::chrono::milliseconds m_pause;
    const int m_listener;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<size_t> m_trickled{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requestLines;
    std::thread m_thread;
};
