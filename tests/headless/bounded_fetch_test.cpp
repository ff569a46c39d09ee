// The update check's fetch is bounded as a whole: a slow resolver or a server that trickles its answer
// cannot keep it past its budget.
#include "app/bounded_call.h"
#include "app/http_get.h"
#include "tests/support/local_http_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kBody = "<versions><v p=\"x\" n=\"Quintrel Tavelle\" v=\"9.9.9\"/></versions>";
const std::string kResponse = LocalHttpServer::Response("200 OK", kBody);

struct Trickle {
    const char* name;
    int pauseMs;        // between two bytes of the answer
    int budgetSeconds;  // the fetch's whole budget
    bool answered;      // whether the body arrives within it
};

class TricklingFetch : public testing::TestWithParam<Trickle> {};

TEST_P(TricklingFetch, TheWholeAnswerMustArriveWithinTheBudget) {
    LocalHttpServer server(kResponse, std::chrono::milliseconds(GetParam().pauseMs));
    const std::optional<std::string> body =
        HttpGet({"127.0.0.1", std::to_string(server.Port()), "/versions.xml"}, GetParam().budgetSeconds);
    if (GetParam().answered) {
        ASSERT_TRUE(body.has_value());
        EXPECT_EQ(*body, kBody);
    } else {
        EXPECT_FALSE(body.has_value());
        // It gave up while the server still had bytes to send: each byte came well within any one wait.
        EXPECT_LT(server.Trickled(), kResponse.size());
    }
}

// A byte every 100 ms takes about 11 s for the whole answer: far beyond a budget of 1 s, although no
// single wait for a byte comes near it.
INSTANTIATE_TEST_SUITE_P(Servers, TricklingFetch,
                         testing::Values(Trickle{"AtOnce", 0, 5, true}, Trickle{"QuickTrickle", 5, 5, true},
                                         Trickle{"ByteByByte", 100, 1, false}),
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
