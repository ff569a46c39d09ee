// The update check's fetch is bounded as a whole: a slow resolver or a server that trickles its answer
// cannot keep it past its budget.
#include "app/bounded_call.h"
#include "app/http_get.h"
#include "tests/support/local_http_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

using namespace std::chrono_literals;

TEST(BoundedFetch, TheWholeAnswerMustArriveWithinTheBudget) {
    const std::string body = "<versions><v p=\"x\" n=\"Quintrel Tavelle\" v=\"9.9.9\"/></versions>";
    const std::string response = LocalHttpServer::Response("200 OK", body);
    // A byte every 100 ms takes about 11 s for the whole answer: far beyond a budget of 1 s, although no
    // single wait for a byte comes near it.
    const struct {
        int pauseMs, budgetSeconds;
        bool answered;
    } cases[] = {{0, 5, true}, {5, 5, true}, {100, 1, false}};
    for (const auto& c : cases) {
        LocalHttpServer server(response, std::chrono::milliseconds(c.pauseMs));
        const std::optional<std::string> got = HttpGet({"127.0.0.1", std::to_string(server.Port()), "/v.xml"}, c.budgetSeconds);
        EXPECT_EQ(got.value_or("nothing"), c.answered ? body : "nothing") << c.pauseMs;
        // Given up while the server still had bytes to send.
        EXPECT_TRUE(c.answered || server.Trickled() < response.size()) << server.Trickled();
    }
}

TEST(BoundedFetch, CallWithinGivesTheResultOfAQuickCallAndNothingPastTheDeadline) {
    EXPECT_EQ(CallWithin<int>(std::chrono::steady_clock::now() + 5s, [] { return 42; }), 42);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    EXPECT_EQ(CallWithin<int>(std::chrono::steady_clock::now() + 50ms, [finished] {
                  std::this_thread::sleep_for(1s);
                  return int(*finished = true);
              }), std::nullopt);
    EXPECT_FALSE(*finished);  // the waiter came back while the call still ran
}
