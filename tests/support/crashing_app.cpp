// The program's application object with one change: once its window is up it crashes on purpose, so a
// test can look at the crash report it leaves. The crash message is answered here instead of waiting for
// a user; its text goes to the file named by QUINTREL_CRASH_MESSAGE_FILE.
#include "app/my_app.h"

#include <wx/dialog.h>
#include <wx/ffile.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <cstdint>
#include <cstdlib>

// Exported and kept out of line, so that the report's stack can name it.
__attribute__((noinline)) void CrashOnPurpose() {
    static volatile std::uintptr_t unmapped = 16;  // volatile: the compiler cannot see the bad address
    *reinterpret_cast<volatile int*>(unmapped) = 1;
}

namespace {

class CrashingApp : public MyApp {
public:
    bool OnInit() override {
        if (!MyApp::OnInit())
            return false;
        CallAfter([] { CrashOnPurpose(); });
        return true;
    }
};

class AnswerCrashMessage : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        auto* message = dynamic_cast<wxMessageDialog*>(dialog);
        const char* path = std::getenv("QUINTREL_CRASH_MESSAGE_FILE");
        if (message && path) {
            wxFFile file(path, "w");
            file.Write(message->GetMessage(), wxConvUTF8);
        }
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

wxAppConsole* CreateApp() {
    wxAppConsole::CheckBuildOptions(WX_BUILD_OPTIONS_SIGNATURE, "crashing_app");
    return new CrashingApp;
}

}  // namespace

MyApp& wxGetApp() { return *static_cast<MyApp*>(wxApp::GetInstance()); }

int main(int argc, char** argv) {
    AnswerCrashMessage answer;
    answer.Register();
    wxApp::SetInitializerFunction(CreateApp);
    return wxEntry(argc, argv);
}
