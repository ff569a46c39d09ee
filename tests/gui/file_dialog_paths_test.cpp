// The chosen paths of file dialogs as the GTK dialog reports them when it is faked.
#include "tests/support/gui_test.h"
#include "window/file_dialog_paths.h"

#include <wx/app.h>
#include <wx/filedlg.h>

namespace {

wxArrayString ChosenBy(long style, const wxString& answer) {
    wxFileDialog dialog(nullptr, "Choose", wxEmptyString, wxEmptyString, "*.png|*.png", style);
    wxArrayString chosen;
    int result = wxID_NONE;
    wxTEST_DIALOG(result = dialog.ShowModal(), wxExpectModal<wxFileDialog>(answer));
    EXPECT_EQ(result, wxID_OK);
    if (style & wxFD_MULTIPLE)
        return file_dialog_paths::ChosenPaths(dialog);
    chosen.push_back(file_dialog_paths::ChosenPath(dialog));
    return chosen;
}

}  // namespace

TEST(FileDialogPaths, FakedDialogsGiveTheFolderJoinedWithTheName) {
    EXPECT_EQ(ChosenBy(wxFD_OPEN | wxFD_MULTIPLE, "/tmp/pictures/a b.png"), wxArrayString(1, "/tmp/pictures/a b.png"));
    EXPECT_EQ(ChosenBy(wxFD_OPEN, "/tmp/pictures/a.png")[0], "/tmp/pictures/a.png");
    EXPECT_EQ(ChosenBy(wxFD_SAVE, "/tmp/out.gif")[0], "/tmp/out.gif");
    EXPECT_EQ(ChosenBy(wxFD_SAVE | wxFD_OVERWRITE_PROMPT, "/out.gif")[0], "/out.gif");
    EXPECT_EQ(ChosenBy(wxFD_OPEN | wxFD_MULTIPLE, "/a.png"), wxArrayString(1, "/a.png"));
}
