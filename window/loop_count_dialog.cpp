#include "window/loop_count_dialog.h"

#include <wx/button.h>
#include <wx/intl.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace {
const int kBoxId = 5105;
const int kPlayTimesId = 0;
const int kPlayForeverId = 1;
const int kPassCountId = 2;
}  // namespace

int LoopCountDialog::s_lastConfirmed = 0;

wxIMPLEMENT_CLASS(LoopCountDialog, wxDialog);

wxBEGIN_EVENT_TABLE(LoopCountDialog, wxDialog)
    EVT_RADIOBUTTON(kPlayTimesId, LoopCountDialog::OnPlayTimes)
    EVT_RADIOBUTTON(kPlayForeverId, LoopCountDialog::OnPlayForever)
    EVT_BUTTON(wxID_OK, LoopCountDialog::OnButton)
    EVT_BUTTON(wxID_CANCEL, LoopCountDialog::OnButton)
wxEND_EVENT_TABLE()

LoopCountDialog::LoopCountDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxGetTranslation("Loop Counter"), wxDefaultPosition, wxSize(300, 150)) {
    // Fixed positions, no sizers: the dialog is laid out once for its one size.
    m_box = new wxStaticBox(this, kBoxId, wxGetTranslation("Animation Loop Count"), wxPoint(10, 10),
                            wxSize(275, 70));
    m_playTimes = new wxRadioButton(this, kPlayTimesId, wxGetTranslation("Play animation"), wxPoint(20, 30),
                                    wxDefaultSize, wxRB_GROUP);
    m_passCount = new wxSpinCtrl(this, kPassCountId, wxEmptyString, wxPoint(150, 30), wxSize(50, 20),
                                 wxSP_ARROW_KEYS, 0, 100, 1, "wxSpinCtrl");
    m_unitText = new wxStaticText(this, wxID_ANY, wxGetTranslation("time(s)"), wxPoint(200, 30));
    m_playForever = new wxRadioButton(this, kPlayForeverId, wxGetTranslation("Play animation infinitely"),
                                      wxPoint(20, 55));
    m_okButton = new wxButton(this, wxID_OK, wxGetTranslation("OK"), wxPoint(60, 85), wxSize(70, 25));
    m_cancelButton = new wxButton(this, wxID_CANCEL, wxGetTranslation("Cancel"), wxPoint(170, 85), wxSize(70, 25));

    if (s_lastConfirmed != 0) {
        m_playTimes->SetValue(true);
        m_passCount->SetValue(s_lastConfirmed);
        m_passCount->Enable();
    } else {
        m_playForever->SetValue(true);
        m_passCount->Disable();
    }
    m_result = 0;
}

// The controls hold their state themselves; there is nothing to transfer.
bool LoopCountDialog::TransferDataToWindow() { return true; }
bool LoopCountDialog::TransferDataFromWindow() { return true; }

void LoopCountDialog::OnPlayTimes(wxCommandEvent&) {
    if (m_playTimes->GetValue())
        m_passCount->Enable();
}

void LoopCountDialog::OnPlayForever(wxCommandEvent&) {
    if (m_playForever->GetValue())
        m_passCount->Disable();
}

void LoopCountDialog::OnButton(wxCommandEvent& event) {
    if (event.GetId() == wxID_OK) {
        const int value = m_playTimes->GetValue() ? m_passCount->GetValue() : 0;
        s_lastConfirmed = value;
        m_result = value;
    }
    EndModal(event.GetId());
}
