// The program's application object with one change: once its window is up it crashes on purpose, in the
// way QUINTREL_CRASH_HOW names ("main", "worker", "overflow" or "abort"), so a test can look at what the
// crash leaves behind for the next start.
#include "app/my_app.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

// Exported and kept out of line, so that the report's stack can name them.
__attribute__((noinline)) void CrashOnPurpose() {
    static volatile std::uintptr_t unmapped = 16;  // volatile: the compiler cannot see the bad address
    *reinterpret_cast<volatile int*>(unmapped) = 1;
}

__attribute__((noinline)) int OverflowOnPurpose(int depth) {
    static volatile int deeper = 1;  // volatile: the compiler cannot see that the recursion never ends
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (deeper == 0)
        return frame[0];
    // Used after the call, so the recursion cannot become a loop.
    return OverflowOnPurpose(depth + 1) + frame[0];
}

namespace {

class CrashingApp : public MyApp {
public:
    bool OnInit() override {
        if (!MyApp::OnInit())
            return false;
        const char* how = std::getenv("QUINTREL_CRASH_HOW");
        CallAfter([how = std::string(how ? how : "main")] {
            if (how == "worker")
                std::thread(CrashOnPurpose).join();
            else if (how == "overflow")
                OverflowOnPurpose(0);
            else if (how == "abort")
                std::abort();
            else
                CrashOnPurpose();
        });
        return true;
    }
};

}  // namespace

MyApp& wxGetApp() { return *static_cast<MyApp*>(wxApp::GetInstance()); }

int main(int argc, char** argv) {
    wxApp::SetInitializerFunction([]() -> wxAppConsole* { return new CrashingApp; });
    return wxEntry(argc, argv);
}
