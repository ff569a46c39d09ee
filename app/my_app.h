#pragma once

#include <wx/app.h>
#include <wx/arrstr.h>

#include <memory>

class MyFrame;
class wxLocale;

class MyApp : public wxApp {
public:
    MyApp();
    ~MyApp() override;

    bool OnInit() override;
    int OnExit() override;
    void OnFatalException() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

private:
    void SetUpLocale();

    MyFrame* m_frame = nullptr;
    std::unique_ptr<wxLocale> m_locale;
    wxArrayString m_files;  // project or pictures named on the command line
};

wxDECLARE_APP(MyApp);
