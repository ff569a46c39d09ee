// Handlers whose commands are not built yet. Each is removed from here when its command is written.
#include "window/my_frame.h"

void MyFrame::ApplyLanguage(int) {}
void MyFrame::OnLanguage(wxCommandEvent&) {}
void MyFrame::RefreshOutputSize() {}
void MyFrame::OnAddImage(wxCommandEvent&) {}
void MyFrame::OnInsertImage(wxCommandEvent&) {}
void MyFrame::OnDeleteImages(wxCommandEvent&) {}
void MyFrame::OnClearAll(wxCommandEvent&) {}
void MyFrame::OnDelayChanged(wxCommandEvent&) {}
void MyFrame::OnWidthChanged(wxCommandEvent&) {}
void MyFrame::OnHeightChanged(wxCommandEvent&) {}
void MyFrame::OnRunAnimation(wxCommandEvent&) {}
void MyFrame::OnTimer(wxTimerEvent&) {}
void MyFrame::OnLoopCount(wxCommandEvent&) {}
void MyFrame::OnSaveGif(wxCommandEvent&) {}
void MyFrame::OnSaveGifAs(wxCommandEvent&) {}
void MyFrame::OnOpenProject(wxCommandEvent&) {}
void MyFrame::OnSaveProject(wxCommandEvent&) {}
void MyFrame::OnQuit(wxCloseEvent&) { Destroy(); }
void MyFrame::OnQuitMenu(wxCommandEvent&) { Destroy(); }
void MyFrame::OnHelpMenu(wxCommandEvent&) {}
void MyFrame::OnAbout(wxCommandEvent&) {}
