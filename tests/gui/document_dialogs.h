#pragma once
// Faked dialogs of the saving, opening and closing tests that also record what the program showed.

#include "tests/support/gui_test.h"

#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <memory>

namespace document_test {

struct ShownMessage {
    bool shown = false;
    wxString title;
    wxString message;
    long style = 0;
};

// Answers a message box with `answer` (wxID_YES, wxID_NO, wxID_CANCEL, wxID_OK) and records it.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    ExpectMessage(int answer, std::shared_ptr<ShownMessage> seen = nullptr)
        : m_answer(answer), m_seen(std::move(seen)) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        if (m_seen) {
            m_seen->shown = true;
            m_seen->title = dialog->GetTitle();
            m_seen->message = dialog->GetMessage();
            m_seen->style = dialog->GetMessageDialogStyle();
        }
        return m_answer;
    }

private:
    int m_answer;
    std::shared_ptr<ShownMessage> m_seen;
};

struct ShownFileDialog {
    bool shown = false;
    wxString message;
    wxString wildcard;
    wxString filename;
    long style = 0;
};

// Chooses `path` (or cancels when `answer` is wxID_CANCEL) and records the dialog's settings.
class ExpectFile : public wxExpectModalBase<wxFileDialog, ExpectFile> {
public:
    ExpectFile(const wxString& path, int answer = wxID_OK, std::shared_ptr<ShownFileDialog> seen = nullptr)
        : m_path(path), m_answer(answer), m_seen(std::move(seen)) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        if (m_seen) {
            m_seen->shown = true;
            m_seen->message = dialog->GetMessage();
            m_seen->wildcard = dialog->GetWildcard();
            if (!dialog->HasFlag(wxFD_MULTIPLE))
                m_seen->filename = dialog->GetFilename();
            m_seen->style = dialog->GetWindowStyle();
        }
        if (m_answer == wxID_OK)
            dialog->SetPath(m_path);
        return m_answer;
    }

private:
    wxString m_path;
    int m_answer;
    std::shared_ptr<ShownFileDialog> m_seen;
};

// Fails the test when any modal dialog is shown while it lives; the dialog is answered with Cancel.
class NoDialogs : public wxModalDialogHook {
public:
    NoDialogs() { Register(); }
    ~NoDialogs() override { Unregister(); }
    NoDialogs(const NoDialogs&) = delete;
    NoDialogs& operator=(const NoDialogs&) = delete;

protected:
    int Enter(wxDialog* dialog) override {
        ADD_FAILURE() << "unexpected dialog: " << dialog->GetTitle().ToStdString(wxConvUTF8);
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

inline ExpectFile CancelFile(std::shared_ptr<ShownFileDialog> seen = nullptr) {
    return ExpectFile(wxString(), wxID_CANCEL, std::move(seen));
}

}  // namespace document_test

// Runs a statement that must show no dialog at all.
#define WITHOUT_DIALOGS(statement)           \
    do {                                     \
        document_test::NoDialogs noDialogs_; \
        statement;                           \
    } while (false)
