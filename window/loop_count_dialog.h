#pragma once
// Asks how many passes the preview plays: a number of passes, or for ever (0).

#include <wx/dialog.h>

class wxButton;
class wxRadioButton;
class wxSpinCtrl;
class wxStaticBox;
class wxStaticText;

class LoopCountDialog : public wxDialog {
public:
    explicit LoopCountDialog(wxWindow* parent);

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // The confirmed loop count; valid after the dialog ended with OK.
    int GetResult() const { return m_result; }

    // The value confirmed last in this process; every new dialog starts from it.
    static int LastConfirmedValue() { return s_lastConfirmed; }

private:
    void OnPlayTimes(wxCommandEvent& event);
    void OnPlayForever(wxCommandEvent& event);
    void OnButton(wxCommandEvent& event);

    wxStaticBox* m_box = nullptr;
    wxRadioButton* m_playTimes = nullptr;
    wxSpinCtrl* m_passCount = nullptr;
    wxStaticText* m_unitText = nullptr;
    wxRadioButton* m_playForever = nullptr;
    wxButton* m_okButton = nullptr;
    wxButton* m_cancelButton = nullptr;
    int m_result = 0;

    static int s_lastConfirmed;

    wxDECLARE_CLASS(LoopCountDialog);
    wxDECLARE_EVENT_TABLE();
};
