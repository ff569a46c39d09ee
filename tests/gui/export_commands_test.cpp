// Save and Save As in the window: the dialogs, the remembered path, the status line, failures that
// lose nothing, the progress dialog with Cancel, and the same bytes as the command-line exporter.
#include "tests/gui/document_test_fixture.h"

#include "app/startup.h"

#include <wx/eventfilter.h>
#include <wx/progdlg.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <sys/stat.h>

using document_test::CancelFile;
using document_test::ExpectFile;
using document_test::ExpectMessage;
using document_test::ShownFileDialog;
using document_test::ShownMessage;

namespace {

// A picture with many colours, so that the palette reduction has work to do.
wxString WriteGradient(const wxString& path, int width, int height, int seed) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, static_cast<unsigned char>((x * 255) / width), static_cast<unsigned char>((y * 7 + seed * 40) % 256),
                         static_cast<unsigned char>((x * y + seed * 13) % 256));
    image.SaveFile(path, wxBITMAP_TYPE_PNG);
    return path;
}

struct GifLayout {
    bool wellFormed = false;
    int frames = 0;
    std::vector<int> delays;  // one per graphic control extension
};

// Walks the blocks of a GIF file without decoding pixels.
GifLayout WalkGif(const std::string& bytes) {
    GifLayout layout;
    const auto at = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const auto skipSubBlocks = [&](size_t p) {
        while (p < bytes.size() && at(p) != 0)
            p += at(p) + 1u;
        return p + 1;
    };
    if (bytes.compare(0, 6, "GIF89a") != 0)
        return layout;
    size_t p = 13;
    if (at(10) & 0x80)
        p += 3u << ((at(10) & 7) + 1);
    while (p < bytes.size()) {
        const unsigned block = at(p);
        if (block == 0x3B) {
            layout.wellFormed = p + 1 == bytes.size();
            return layout;
        }
        if (block == 0x21) {
            if (at(p + 1) == 0xF9)
                layout.delays.push_back(static_cast<int>(at(p + 4) | (at(p + 5) << 8)));
            p = skipSubBlocks(p + 2);
        } else if (block == 0x2C) {
            ++layout.frames;
            const unsigned packed = at(p + 9);
            p += 10;
            if (packed & 0x80)
                p += 3u << ((packed & 7) + 1);
            p = skipSubBlocks(p + 1);
        } else {
            return layout;
        }
    }
    return layout;
}

// Presses Cancel of the export's progress dialog as soon as it shows (when asked to), and records the
// texts it showed.
class ProgressWatcher : public wxEventFilter {
public:
    explicit ProgressWatcher(bool cancel) : m_cancel(cancel) { wxEvtHandler::AddFilter(this); }
    ~ProgressWatcher() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent& event) override {
        auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
        auto* dialog = window ? dynamic_cast<wxGenericProgressDialog*>(wxGetTopLevelParent(window)) : nullptr;
        // Events also arrive while the dialog builds its children, before its texts exist.
        if (!dialog || !dialog->IsShown())
            return Event_Skip;
        shown = true;
        lastMessage = dialog->GetMessage();
        if (m_cancel && !cancelled) {
            cancelled = true;
            wxCommandEvent press(wxEVT_BUTTON, wxID_CANCEL);
            press.SetEventObject(dialog);
            dialog->GetEventHandler()->ProcessEvent(press);
        }
        return Event_Skip;
    }

    bool shown = false;
    bool cancelled = false;
    wxString lastMessage;

private:
    const bool m_cancel;
};

}  // namespace

class ExportCommandsTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        wxMkdir(Pictures());
    }

    // Pictures live in a folder of their own, so that Folder() shows only what the export leaves.
    wxString Pictures() const { return wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/pictures"; }

    // Frames of three sizes: one to centre, one to shrink, one that sets the output size.
    wxArrayString AddGradients(size_t count = 3) {
        const wxSize sizes[] = {{64, 48}, {96, 40}, {20, 30}};
        wxArrayString paths;
        for (size_t i = 0; i < count; ++i) {
            const wxSize size = sizes[i % 3];
            paths.Add(WriteGradient(wxString::Format("%s/g%zu.png", Pictures(), i), size.x, size.y,
                                    static_cast<int>(i)));
        }
        frame->AddImageFiles(paths);
        m_frames = paths;
        return paths;
    }

    void Command(wxMenuItem* item) {
        wxCommandEvent command(wxEVT_MENU, item->GetId());
        command.SetEventObject(frame);
        frame->ProcessWindowEvent(command);
    }
    void Save() { Command(frame->m_menuItem_save); }
    void SaveAs() { Command(frame->m_menuItem_save_as); }

    // What quintrel-gif writes for the frames added last, the window's delay and output size.
    std::string ExporterBytes(const std::vector<wxString>& extra = {}) {
        const wxString out = Pictures() + "/reference.gif";
        wxRemoveFile(out);
        std::vector<wxString> arguments = {gui_test::BuildDir() + "/bin/quintrel-gif"};
        if (extra.empty()) {
            arguments.insert(arguments.end(),
                             {"-d", wxString::Format("%d", frame->m_spinctrl_delay->GetValue()), "-W",
                              wxString::Format("%d", frame->m_outputWidth), "-H",
                              wxString::Format("%d", frame->m_outputHeight), "-o", out, "--"});
            for (const wxString& path : m_frames)
                arguments.push_back(path);
        } else {
            arguments.insert(arguments.end(), extra.begin(), extra.end());
            arguments.insert(arguments.end(), {"-o", out});
        }
        std::vector<const wchar_t*> argv;
        for (const wxString& argument : arguments)
            argv.push_back(argument.wc_str());
        argv.push_back(nullptr);
        const long status = wxExecute(argv.data(), wxEXEC_SYNC | wxEXEC_NOEVENTS);
        EXPECT_EQ(status, 0) << "quintrel-gif failed";
        return ReadFile(out);
    }

    wxArrayString m_frames;
};

TEST_F(ExportCommandsTest, FirstSaveAsksAndWritesWhatTheCommandLineExporterWrites) {
    AddGradients();
    ASSERT_EQ(frame->m_outputWidth, 96);
    ASSERT_EQ(frame->m_outputHeight, 40);
    frame->m_spinctrl_delay->SetValue(7);
    auto dialog = std::make_shared<ShownFileDialog>();
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/anim", wxID_OK, dialog));

    EXPECT_EQ(dialog->message, "Save GIF Files");
    EXPECT_EQ(dialog->wildcard, "Image files (*.gif)|*.gif");
    EXPECT_EQ(dialog->style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    const wxString written = Folder() + "/anim.gif";
    EXPECT_EQ(frame->m_gifPath, written);
    EXPECT_EQ(frame->m_gifName, "anim.gif");
    EXPECT_EQ(Status(0), "anim.gif (96 * 40)px");
    const std::string bytes = ReadFile(written);
    const GifLayout layout = WalkGif(bytes);
    EXPECT_TRUE(layout.wellFormed);
    EXPECT_EQ(layout.frames, 3);
    EXPECT_EQ(layout.delays, (std::vector<int>{7, 7, 7}));
    EXPECT_EQ(bytes, ExporterBytes());
    // Export touches neither the title nor the snapshot.
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
    EXPECT_EQ(frame->m_savedCount, 0);
}

TEST_F(ExportCommandsTest, RememberedPathIsRewrittenWithoutADialogWithTheNewDelay) {
    AddGradients();
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/anim.gif"));
    frame->m_spinctrl_delay->SetValue(25);
    WITHOUT_DIALOGS(Save());
    const std::string bytes = ReadFile(Folder() + "/anim.gif");
    EXPECT_EQ(WalkGif(bytes).delays, (std::vector<int>{25, 25, 25}));
    EXPECT_EQ(bytes, ExporterBytes());
    EXPECT_EQ(FilesIn(Folder()).size(), 1u) << "no temporary file is left";
}

TEST_F(ExportCommandsTest, SaveOnAnEmptyStripOnlyRemembersThePath) {
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/later"));
    EXPECT_EQ(frame->m_gifPath, Folder() + "/later");
    EXPECT_TRUE(FilesIn(Folder()).empty());
    // A remembered path is not asked for again.
    WITHOUT_DIALOGS(Save());
    AddGradients();
    WITHOUT_DIALOGS(Save());
    EXPECT_TRUE(wxFileExists(Folder() + "/later.gif"));
    EXPECT_EQ(frame->m_gifPath, Folder() + "/later.gif");
}

TEST_F(ExportCommandsTest, SaveAsOnAnEmptyStripDoesNothing) {
    WITHOUT_DIALOGS(SaveAs());
    EXPECT_TRUE(frame->m_gifPath.empty());
    EXPECT_TRUE(FilesIn(Folder()).empty());
}

TEST_F(ExportCommandsTest, CancelledSaveAsWritesTheRememberedPathOrNothing) {
    AddGradients();
    auto dialog = std::make_shared<ShownFileDialog>();
    wxTEST_DIALOG(SaveAs(), CancelFile(dialog));
    EXPECT_EQ(dialog->message, "Save As GIF Files");
    EXPECT_TRUE(FilesIn(Folder()).empty());
    EXPECT_TRUE(frame->m_gifPath.empty());

    wxTEST_DIALOG(SaveAs(), ExpectFile(Folder() + "/first.gif"));
    wxRemoveFile(Folder() + "/first.gif");
    wxTEST_DIALOG(SaveAs(), CancelFile());
    EXPECT_TRUE(wxFileExists(Folder() + "/first.gif"));
    EXPECT_EQ(frame->m_gifPath, Folder() + "/first.gif");
}

TEST_F(ExportCommandsTest, OnlyALowerCaseGifEndingIsKept) {
    AddGradients(1);
    wxTEST_DIALOG(SaveAs(), ExpectFile(Folder() + "/a.gif"));
    wxTEST_DIALOG(SaveAs(), ExpectFile(Folder() + "/b.GIF"));
    const wxArrayString files = FilesIn(Folder());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], Folder() + "/a.gif");
    EXPECT_EQ(files[1], Folder() + "/b.GIF.gif");
    EXPECT_EQ(frame->m_gifName, "b.GIF.gif");
}

TEST_F(ExportCommandsTest, AMissingFolderIsReportedAndNothingClaimsSuccess) {
    AddGradients();
    const wxString status = Status(0);
    const wxString target = Folder() + "/missing/anim.gif";
    auto failure = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(Save(), ExpectFile(target), ExpectMessage(wxID_OK, failure));
    EXPECT_NE(failure->message.Find(target), wxNOT_FOUND) << failure->message;
    EXPECT_NE(failure->message.Find("No such file or directory"), wxNOT_FOUND) << failure->message;
    EXPECT_TRUE(failure->style & wxICON_ERROR);
    EXPECT_EQ(Status(0), status);
    EXPECT_TRUE(frame->m_gifName.empty());
    // Not remembered either: the next Save asks again.
    EXPECT_TRUE(frame->m_gifPath.empty());
    wxTEST_DIALOG(Save(), CancelFile());
}

TEST_F(ExportCommandsTest, AFolderNobodyCanWriteIsReported) {
    // /proc refuses new files even to the superuser, whom permission bits would not stop.
    AddGradients(1);
    auto failure = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(Save(), ExpectFile("/proc/anim.gif"), ExpectMessage(wxID_OK, failure));
    EXPECT_NE(failure->message.Find("/proc/anim.gif"), wxNOT_FOUND) << failure->message;
    EXPECT_FALSE(wxFileExists("/proc/anim.gif"));
    EXPECT_TRUE(frame->m_gifName.empty());
}

TEST_F(ExportCommandsTest, AReadOnlyGifIsLeftAsItWas) {
    AddGradients();
    const wxString target = Folder() + "/old.gif";
    WriteFile(target, "an older animation");
    ASSERT_EQ(chmod(target.fn_str(), 0444), 0);
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/first.gif"));
    const wxString status = Status(0);

    auto failure = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(SaveAs(), ExpectFile(target), ExpectMessage(wxID_OK, failure));
    EXPECT_NE(failure->message.Find(target), wxNOT_FOUND) << failure->message;
    EXPECT_NE(failure->message.Find("read-only"), wxNOT_FOUND) << failure->message;
    EXPECT_EQ(ReadFile(target), "an older animation");
    // The earlier export is still the remembered one.
    EXPECT_EQ(frame->m_gifPath, Folder() + "/first.gif");
    EXPECT_EQ(frame->m_gifName, "first.gif");
    EXPECT_EQ(Status(0), status);
    EXPECT_EQ(FilesIn(Folder()).size(), 2u);
}

TEST_F(ExportCommandsTest, AFullDiskKeepsTheEarlierGif) {
    AddGradients();
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/anim.gif"));
    const std::string before = ReadFile(Folder() + "/anim.gif");
    frame->m_spinctrl_delay->SetValue(30);
    auto failure = std::make_shared<ShownMessage>();
    {
        FullDisk full(200);
        wxTEST_DIALOG(Save(), ExpectMessage(wxID_OK, failure));
    }
    EXPECT_NE(failure->message.Find(Folder() + "/anim.gif"), wxNOT_FOUND) << failure->message;
    EXPECT_EQ(ReadFile(Folder() + "/anim.gif"), before);
    EXPECT_EQ(FilesIn(Folder()).size(), 1u) << "no temporary file is left";
}

TEST_F(ExportCommandsTest, AnOutputSizeWithoutPixelsIsRefusedBeforeAnyDialog) {
    AddGradients();
    frame->m_spinctrl_width->SetValue(0);
    wxCommandEvent typed(wxEVT_TEXT, frame->m_spinctrl_width->GetId());
    frame->OnWidthChanged(typed);
    ASSERT_EQ(frame->m_outputWidth, 0);
    auto refusal = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(Save(), ExpectMessage(wxID_OK, refusal));
    EXPECT_NE(refusal->message.Find("0 * 0"), wxNOT_FOUND) << refusal->message;
    wxTEST_DIALOG(SaveAs(), ExpectMessage(wxID_OK));
    EXPECT_TRUE(FilesIn(Folder()).empty());
    EXPECT_TRUE(frame->m_gifPath.empty());

    // With a remembered path, nothing is written there either.
    frame->m_gifPath = Folder() + "/kept.gif";
    frame->m_outputHeight = 0;
    frame->m_outputWidth = 50;
    wxTEST_DIALOG(Save(), ExpectMessage(wxID_OK));
    EXPECT_TRUE(FilesIn(Folder()).empty());
}

TEST_F(ExportCommandsTest, ManyFramesShowProgressAndStillMatchTheExporter) {
    AddGradients(12);
    ProgressWatcher watcher(false);
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/many.gif"));
    EXPECT_TRUE(watcher.shown);
    EXPECT_TRUE(watcher.lastMessage.EndsWith(" of 12 frames written")) << watcher.lastMessage;
    EXPECT_EQ(WalkGif(ReadFile(Folder() + "/many.gif")).frames, 12);
    EXPECT_EQ(ReadFile(Folder() + "/many.gif"), ExporterBytes());
}

TEST_F(ExportCommandsTest, FewFramesShowNoProgressDialog) {
    AddGradients(3);
    ProgressWatcher watcher(false);
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/few.gif"));
    EXPECT_FALSE(watcher.shown);
    EXPECT_TRUE(wxFileExists(Folder() + "/few.gif"));
}

TEST_F(ExportCommandsTest, CancellingTheProgressLeavesTheEarlierFileUntouched) {
    AddGradients(12);
    const wxString target = Folder() + "/anim.gif";
    WriteFile(target, "the earlier file");
    const wxString status = Status(0);
    {
        ProgressWatcher watcher(true);
        // Cancelling is the person's own choice: no message follows.
        wxTEST_DIALOG(Save(), ExpectFile(target));
        EXPECT_TRUE(watcher.cancelled);
    }
    EXPECT_EQ(ReadFile(target), "the earlier file");
    EXPECT_EQ(FilesIn(Folder()).size(), 1u) << "no temporary file is left";
    EXPECT_TRUE(frame->m_gifPath.empty());
    EXPECT_TRUE(frame->m_gifName.empty());
    EXPECT_EQ(Status(0), status);
}

// The whole road: build, save the GIF and the project, close, start again from the project on the
// command line and export the same bytes; the command-line exporter reads the project to them too.
TEST_F(ExportCommandsTest, ASavedProjectExportsTheSameBytesAgainAndInTheExporter) {
    AddGradients(4);
    frame->m_spinctrl_delay->SetValue(15);
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/anim.gif"));
    const std::string first = ReadFile(Folder() + "/anim.gif");
    const wxString project = Pictures() + "/anim.xml";
    wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), ExpectFile(project));
    WITHOUT_DIALOGS(ASSERT_TRUE(frame->Close()));
    ASSERT_TRUE(Destroyed());
    gui_test::Pump(50);

    wxString error;
    frame = startup::CreateMainWindow(error);
    ASSERT_NE(frame, nullptr) << error.ToStdString();
    frame->Show();
    WITHOUT_DIALOGS(frame->OpenFromCommandLine(wxArrayString(1, project)));
    ASSERT_EQ(Count(), 4);
    wxTEST_DIALOG(Save(), ExpectFile(Folder() + "/again.gif"));
    EXPECT_EQ(ReadFile(Folder() + "/again.gif"), first);
    EXPECT_EQ(ExporterBytes({"-p", project}), first);
}
