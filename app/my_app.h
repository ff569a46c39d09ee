#pragma once

#include <wx/app.h>
#include <wx/arrstr.h>

#include <memory>

class MyFrame;
class wxLocale;
class TerminationSignals;

class MyApp : public wxApp {
public:
    MyApp();
    ~MyApp() override;

    bool OnInit() override;
    int OnExit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

private:
    void SetUpLocale();
    // SIGTERM or SIGHUP: the work is kept for the next start and the program ends normally.
    void OnTerminationSignal();

    MyFrame* m_frame = nullptr;
    std::unique_ptr<wxLocale> m_locale;
    wxArrayString m_files;  // project or pictures named on the command line
    std::unique_ptr<TerminationSignals> m_termination;
};

wxDECLARE_APP(MyApp);
