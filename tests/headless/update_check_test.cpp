// The update check: which version the reply names, how versions compare, and a fetch bounded as a whole,
// so that a slow resolver or a server that trickles its answer cannot keep it past its budget.
#include "app/bounded_call.h"
#include "app/http_get.h"
#include "app/update_check.h"

#include "tests/support/files.h"
#include "tests/support/local_http_server.h"

#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <tuple>

using namespace std::chrono_literals;

TEST(UpdateCheck, NewestVersionIsTheAttributeAfterTheProductsNameInTheLastMatchingElement) {
    const auto products = [](const std::string& elements) { return "<?xml version=\"1.0\"?>\n<p>" + elements + "</p>"; };
    const std::string deep = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/>" + test_files::Repeat("<a>", 150000);
    const std::pair<std::string, const char*> cases[] = {
        {products("<o a=\"Tool\" b=\"9\"/><i code=\"Q\" t=\"Quintrel Tavelle\" v=\"2.0.1\" x=\"y\"/>"), "2.0.1"},
        {products("<p n=\"Quintrel Tavelle\" v=\"1.4\"/><p n=\"Quintrel Tavelle\" v=\"1.3\"/>"), "1.3"},
        {products("<p version=\"1.3.0\" name=\"Quintrel Tavelle\"/>"), ""},
        {products("<p>Quintrel Tavelle</p><g><p name=\"Quintrel Tavelle\" v=\"1.3\"/></g>"), ""},
        {products("<p name=\"Quintrel Tavelle\" version=\"1.3\"/><unclosed>"), ""},
        {"", ""}, {"Quintrel Tavelle 1.3.0", ""},  // and nested too deep for the toolkit's recursive parser:
        {deep, ""}, {deep + test_files::Repeat("</a>", 150000) + "</v>", ""}};
    for (const auto& [document, version] : cases) {
        wxMemoryInputStream stream(document.data(), document.size());
        EXPECT_EQ(ReadNewestVersion(stream), wxString::FromUTF8(version)) << document.substr(0, 100);
    }
}

TEST(UpdateCheck, VersionsAreOrderedNumericallyPartByPart) {
    // Each group is older than the next; the spellings within a group are one version (only nine bytes count).
    const std::vector<std::vector<const char*>> sorted = {
        {"", "0"}, {"0.9.9"}, {"1"}, {"1.0.0.1"}, {"1.2", "1.2.0.0", "1.02"}, {"1.2.3.4.5.6.7.8.9.1", "1.2.3.4.5.6.7.8.9.2"},
        {"1.2.6", " 1.2.6 ", "1.2.6-beta"}, {"1.2.6.1"}, {"1.2.9"}, {"1.2.10"}, {"1.9"}, {"1.10"}, {"1.255"}, {"1.65265"},
        {"1.4294967295", "1.99999999999999999999"}, {"2"}, {"10"}, {"70000"}, {"4294967295"}};
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = 0; j < sorted.size(); ++j)
            for (const char* a : sorted[i])
                for (const char* b : sorted[j]) {
                    const int result = CompareVersions(a, b);
                    EXPECT_EQ((result > 0) - (result < 0), (i > j) - (i < j)) << a << " vs " << b;
                }
}

TEST(BoundedFetch, TheWholeAnswerMustArriveWithinTheBudget) {
    const std::string body = "<versions><v p=\"x\" n=\"Quintrel Tavelle\" v=\"9.9.9\"/></versions>";
    const std::string response = LocalHttpServer::Response("200 OK", body);
    // A byte every 100 ms takes about 11 s for the whole answer: far beyond a budget of 1 s, although no
    // single wait for a byte comes near it. An answer sent at once is the window's update check test's.
    for (const auto& [pauseMs, budgetSeconds, answered] : {std::tuple{5, 5, true}, {100, 1, false}}) {
        LocalHttpServer server(response, std::chrono::milliseconds(pauseMs));
        const std::optional<std::string> got = HttpGet({"127.0.0.1", std::to_string(server.Port()), "/v.xml"}, budgetSeconds);
        EXPECT_EQ(got.value_or("nothing"), answered ? body : "nothing") << pauseMs;
        // Given up while the server still had bytes to send.
        EXPECT_TRUE(answered || server.Trickled() < response.size()) << server.Trickled();
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
