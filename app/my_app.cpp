#include "app/my_app.h"

#include "app/crash_guard.h"
#include "app/crash_report.h"
#include "app/domain_option.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/termination_signals.h"
#include "app/update_check.h"
#include "window/my_frame.h"

#include <wx/cmdline.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

MyApp::MyApp() = default;

MyApp::~MyApp() = default;

void MyApp::SetUpLocale() {
    // A system without the English locale logs a warning; the catalog still loads, so say nothing.
    wxLogNull silence;
    m_locale.reset();
    m_locale = std::make_unique<wxLocale>(wxLANGUAGE_ENGLISH, wxLOCALE_LOAD_DEFAULT);
    wxLocale::AddCatalogLookupPathPrefix("m_locale_");
    m_locale->AddCatalog("ui");
}

void MyApp::OnInitCmdLine(wxCmdLineParser& parser) {
    wxApp::OnInitCmdLine(parser);
    parser.AddParam("project or pictures", wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

bool MyApp::OnCmdLineParsed(wxCmdLineParser& parser) {
    for (size_t i = 0; i < parser.GetParamCount(); ++i)
        m_files.Add(parser.GetParam(i));
    return wxApp::OnCmdLineParsed(parser);
}

bool MyApp::OnInit() {
    if (!wxApp::OnInit())
        return false;
    crash_guard::Install(crash_report::PendingFolder());
    SetUpLocale();

    wxString error;
    {
        wxLogNull silence;
        const wxString installation = paths::InstallationFolder();
        startup::LoadResources(installation);
        SetTheDomainOption(new DomainOption(installation + "/option.cfg"));
        TheDomainOption()->Read();
        m_frame = startup::CreateMainWindow(error);
    }
    if (!m_frame) {
        const wxString message = wxString::Format("%s cannot start: %s (looked in \"%s/Themes\").",
                                                  paths::DisplayName(), error, paths::InstallationFolder());
        fprintf(stderr, "%s\n", static_cast<const char*>(message.utf8_str()));
        wxMessageBox(message, paths::DisplayName(), wxOK | wxICON_ERROR);
        return false;
    }
    m_frame->Show();
    crash_report::ShowPendingReports(crash_report::PendingFolder());
    m_frame->OfferToRestore();
    m_frame->OpenFromCommandLine(m_files);
    m_termination = std::make_unique<TerminationSignals>([this] { OnTerminationSignal(); });
    return true;
}

void MyApp::OnTerminationSignal() {
    if (auto* frame = dynamic_cast<MyFrame*>(GetTopWindow()))
        frame->KeepWorkAndClose();
    else
        ExitMainLoop();
}

int MyApp::OnExit() {
    m_termination.reset();
    // The window is gone; an update check still waiting for its server must end before the sockets do.
    TheUpdateFetch().Wait();
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
    return 0;
}
