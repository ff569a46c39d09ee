// The update check's fetch is bounded as a whole: a slow resolver or a server that trickles its answer
// cannot keep it past its budget.
#include "app/bounded_call.h"
#include "app/http_get.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Answers one request with a complete, valid response, one byte every `pause`, until it is destroyed.
class TricklingServer {
public:
    TricklingServer(std::string response, std::chrono::milliseconds pause)
        : m_response(std::move(response)), m_pause(pause) {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(m_listener, 4) == 0 &&
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~TricklingServer() {
        m_stop = true;
        m_thread.join();
        close(m_listener);
    }
    TricklingServer(const TricklingServer&) = delete;
    TricklingServer& operator=(const TricklingServer&) = delete;

    int Port() const { return m_port; }
    size_t BytesSent() const { return m_sent; }

private:
    bool Ready(int fd) {
        pollfd entry{fd, POLLIN, 0};
        return poll(&entry, 1, 50) > 0;
    }
    void Serve() {
        while (!m_stop && !Ready(m_listener)) {
        }
        if (m_stop)
            return;
        const int connection = accept(m_listener, nullptr, nullptr);
        char request[2048];
        while (!m_stop && !Ready(connection)) {
        }
        if (recv(connection, request, sizeof request, 0) > 0) {
            for (char byte : m_response) {
                if (m_stop || send(connection, &byte, 1, MSG_NOSIGNAL) != 1)
                    break;
                ++m_sent;
                std::this_thread::sleep_for(m_pause);
            }
        }
        close(connection);
    }

    std::string m_response;
    std::chrono::milliseconds m_pause;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_sent{0};
    std::thread m_thread;
};

const std::string kBody = "<versions><v p=\"x\" n=\"Quintrel Tavelle\" v=\"9.9.9\"/></versions>";
const std::string kResponse = "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" + kBody;

struct Trickle {
    const char* name;
    int pauseMs;        // between two bytes of the answer
    int budgetSeconds;  // the fetch's whole budget
    bool answered;      // whether the body arrives within it
};

class TricklingFetch : public testing::TestWithParam<Trickle> {};

TEST_P(TricklingFetch, TheWholeAnswerMustArriveWithinTheBudget) {
    TricklingServer server(kResponse, std::chrono::milliseconds(GetParam().pauseMs));
    ASSERT_NE(server.Port(), 0);
    const std::optional<std::string> body =
        HttpGet({"127.0.0.1", std::to_string(server.Port()), "/versions.xml"}, GetParam().budgetSeconds);
    if (GetParam().answered) {
        ASSERT_TRUE(body.has_value());
        EXPECT_EQ(*body, kBody);
    } else {
        EXPECT_FALSE(body.has_value());
        // It gave up while the server still had bytes to send: each byte came well within any one wait.
        EXPECT_LT(server.BytesSent(), kResponse.size());
    }
}

// A byte every 100 ms takes about 11 s for the whole answer: far beyond a budget of 1 s, although no
// single wait for a byte comes near it.
INSTANTIATE_TEST_SUITE_P(Servers, TricklingFetch,
                         testing::Values(Trickle{"AtOnce", 0, 5, true}, Trickle{"ByteByByte", 100, 1, false}),
                         [](const testing::TestParamInfo<Trickle>& info) { return std::string(info.param.name); });

TEST(CallWithin, ResultOfAQuickCall) {
    const std::optional<int> result = CallWithin<int>(Clock::now() + 5s, [] { return 42; });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 42);
}

TEST(CallWithin, NothingWhenTheCallOutlastsTheDeadline) {
    auto finished = std::make_shared<std::atomic<bool>>(false);
    const std::optional<int> result = CallWithin<int>(Clock::now() + 50ms, [finished] {
        std::this_thread::sleep_for(1s);
        *finished = true;
        return 1;
    });
    EXPECT_FALSE(result.has_value());
    // The waiter came back while the call was still running.
    EXPECT_FALSE(*finished);
}

}  // namespace
