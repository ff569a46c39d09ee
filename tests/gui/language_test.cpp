// Interface language: the language file, the check marks of the Language menu, the relabelling of menus
// and controls, and the next start. Uses the build's catalogs; no system locale is needed.
#include "tests/support/gui_test.h"
#include "tests/support/isolated_home.h"

#include "app/paths.h"
#include "app/startup.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/ffile.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kChineseSimplified = 46, kChineseTraditional = 47, kGerman = 89, kEnglish = 58, kFrench = 80,
              kItalian = 110, kJapanese = 112;

wxString LanguageFilePath() { return paths::DataFolder() + "/language.txt"; }

std::string LanguageFileBytes() {
    wxFFile file(LanguageFilePath(), "rb");
    if (!file.IsOpened())
        return "<no file>";
    std::string bytes(64, '\0');
    bytes.resize(file.Read(&bytes[0], bytes.size()));
    return bytes;
}

void WriteLanguageFile(const std::string& bytes) {
    wxFFile file(LanguageFilePath(), "wb");
    ASSERT_TRUE(file.IsOpened());
    file.Write(bytes.data(), bytes.size());
}

std::vector<std::string> Labels(wxMenu* menu) {
    std::vector<std::string> labels;
    for (wxMenuItem* item : menu->GetMenuItems())
        labels.push_back(item->GetItemLabel().ToStdString(wxConvUTF8));
    return labels;
}

std::vector<std::string> MenuTitles(wxMenuBar* bar) {
    std::vector<std::string> titles;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        titles.push_back(bar->GetMenuLabelText(i).ToStdString(wxConvUTF8));
    return titles;
}

std::vector<int> CheckedLanguages(MyFrame* frame) {
    std::vector<int> checked;
    for (wxMenuItem* item : frame->m_menu_language->GetMenuItems()) {
        if (item->IsChecked())
            checked.push_back(item->GetId());
    }
    return checked;
}

std::vector<std::string> ControlLabels(MyFrame* frame) {
    std::vector<std::string> labels;
    for (wxStaticText* text : {frame->m_staticText1, frame->m_staticText2, frame->m_staticText3, frame->m_staticText4,
                               frame->m_staticText5, frame->m_staticText6, frame->m_staticText7})
        labels.push_back(text->GetLabel().ToStdString(wxConvUTF8));
    return labels;
}

// The labels were laid out for their current texts: none hides under the control it names.
void ExpectLabelsClearOfTheirControls(MyFrame* frame) {
    const std::pair<wxStaticText*, wxSpinCtrl*> labelled[] = {{frame->m_staticText1, frame->m_spinctrl_delay},
                                                              {frame->m_staticText4, frame->m_spinctrl_width},
                                                              {frame->m_staticText6, frame->m_spinctrl_height}};
    for (const auto& [label, control] : labelled)
        EXPECT_LT(label->GetRect().GetRight(), control->GetRect().GetLeft()) << label->GetLabel();
}

// Counts what the toolkit logs as a warning or worse: in the program each of those becomes a dialog.
class CountingLog : public wxLog {
public:
    CountingLog() : m_previous(wxLog::SetActiveTarget(this)) {}
    ~CountingLog() override { wxLog::SetActiveTarget(m_previous); }
    int alarming = 0;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override {
        if (level <= wxLOG_Warning) {
            ++alarming;
            ADD_FAILURE() << "logged: " << message.ToStdString(wxConvUTF8);
        }
    }

private:
    wxLog* m_previous;
};

}  // namespace

class LanguageTest : public MainWindowTest {
protected:
    // What the user does: choose an entry of Help > Language.
    void Pick(int language) {
        ASSERT_TRUE(frame->ProcessCommand(language)) << language;
        gui_test::Pump(20);
    }

    void AppendFrame() {
        const wxString picture =
            gui_test::WritePicture(wxString(IsolatedHomeListener::CurrentHome()) + "/frame.png", 40, 30);
        ASSERT_GE(frame->m_thumbnailCtrl->Append(std::make_unique<wxImageThumbnailItem>(picture), 10), 0);
    }

    // Closes the window and builds a new one, which reads the language file again as the next start does.
    void Restart() {
        wxWeakRef<MyFrame> old(frame);
        frame->m_timer.Stop();
        frame->Destroy();
        frame = nullptr;
        ASSERT_TRUE(gui_test::PumpUntil([&] { return !old; }));
        wxString error;
        frame = startup::CreateMainWindow(error);
        ASSERT_NE(frame, nullptr) << error.ToStdString();
        frame->Show();
        frame->Raise();
        gui_test::Pump(50);
    }
};

TEST_F(LanguageTest, FreshStartStoresEnglishAndMarksIt) {
    EXPECT_EQ(LanguageFileBytes(), "58");
    EXPECT_EQ(frame->m_language, kEnglish);
    EXPECT_EQ(CheckedLanguages(frame), std::vector<int>{kEnglish});
    EXPECT_EQ(MenuTitles(frame->m_menubar), (std::vector<std::string>{"File", "Frame", "Animation", "Help"}));
    EXPECT_EQ(ControlLabels(frame),
              (std::vector<std::string>{"Delay :", "sec ", "GIF:", "Width:", "px", "Height:", "px"}));
}

TEST_F(LanguageTest, PickingDeutschStoresItRelabelsEverythingAndTheNextStartIsGerman) {
    wxMenuBar* const before = frame->m_menubar;
    {
        // No system here has a German locale installed for sure; the toolkit's complaint must stay silent.
        CountingLog log;
        Pick(kGerman);
        EXPECT_EQ(log.alarming, 0);
    }
    EXPECT_EQ(LanguageFileBytes(), "89");
    EXPECT_EQ(frame->m_language, kGerman);
    EXPECT_NE(frame->m_menubar, before);
    EXPECT_EQ(frame->GetMenuBar(), frame->m_menubar);
    EXPECT_EQ(CheckedLanguages(frame), std::vector<int>{kGerman});
    EXPECT_EQ(MenuTitles(frame->m_menubar), (std::vector<std::string>{"Datei", "Einzelbild", "Animation", "Hilfe"}));
    EXPECT_EQ(Labels(frame->m_menu_file),
              (std::vector<std::string>{"Speichern", "Speichern unter", "Projekt öffnen", "Projekt speichern\tCtrl+S",
                                        "Beenden\tCtrl+Q"}));
    EXPECT_EQ(Labels(frame->m_menu_frame),
              (std::vector<std::string>{"Bild hinzufügen\tCtrl+Ins", "Löschen\tCtrl+Del", "Alle entfernen"}));
    EXPECT_EQ(Labels(frame->m_menu_animation),
              (std::vector<std::string>{"Animation abspielen\tCtrl+P", "Wiederholungen", "", "Exakt", "Kleiner",
                                        "Am kleinsten"}));
    EXPECT_EQ(Labels(frame->m_menu_help), (std::vector<std::string>{"Hilfe", "Sprache", "Support",
                                                                    "Nach Updates suchen", "Über"}));
    // The language entries keep their own names.
    EXPECT_EQ(Labels(frame->m_menu_language),
              (std::vector<std::string>{"中文简体", "中文繁体", "Deutsch", "English", "Français", "Italiano",
                                        "日本語"}));
    EXPECT_EQ(ControlLabels(frame),
              (std::vector<std::string>{"Verzögerung:", "Sek.", "GIF:", "Breite:", "px", "Höhe:", "px"}));
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
    ExpectLabelsClearOfTheirControls(frame);

    Restart();
    EXPECT_EQ(frame->m_language, kGerman);
    EXPECT_EQ(CheckedLanguages(frame), std::vector<int>{kGerman});
    EXPECT_EQ(MenuTitles(frame->m_menubar), (std::vector<std::string>{"Datei", "Einzelbild", "Animation", "Hilfe"}));
    EXPECT_EQ(ControlLabels(frame),
              (std::vector<std::string>{"Verzögerung:", "Sek.", "GIF:", "Breite:", "px", "Höhe:", "px"}));
    ExpectLabelsClearOfTheirControls(frame);
}

TEST_F(LanguageTest, EveryLanguageRelabelsMenusAndControls) {
    struct Expected {
        int language;
        std::vector<std::string> titles;
        std::string save;
        std::string delay;
        std::string width;
    };
    const Expected expected[] = {
        {kChineseSimplified, {"文件", "帧", "动画", "帮助"}, "保存", "延迟:", "宽度:"},
        {kChineseTraditional, {"檔案", "影格", "動畫", "說明"}, "儲存", "延遲:", "寬度:"},
        {kGerman, {"Datei", "Einzelbild", "Animation", "Hilfe"}, "Speichern", "Verzögerung:", "Breite:"},
        {kEnglish, {"File", "Frame", "Animation", "Help"}, "Save", "Delay :", "Width:"},
        {kFrench, {"Fichier", "Image", "Animation", "Aide"}, "Enregistrer", "Délai :", "Largeur:"},
        {kItalian, {"File", "Fotogramma", "Animazione", "Guida"}, "Salva", "Ritardo:", "Larghezza:"},
        {kJapanese, {"ファイル", "フレーム", "アニメーション", "ヘルプ"}, "保存", "遅延:", "幅:"},
    };
    for (const Expected& language : expected) {
        Pick(language.language);
        SCOPED_TRACE(language.language);
        EXPECT_EQ(LanguageFileBytes(), std::to_string(language.language));
        EXPECT_EQ(CheckedLanguages(frame), std::vector<int>{language.language});
        EXPECT_EQ(MenuTitles(frame->m_menubar), language.titles);
        EXPECT_EQ(frame->m_menuItem_save->GetItemLabel().ToStdString(wxConvUTF8), language.save);
        EXPECT_EQ(frame->m_staticText1->GetLabel().ToStdString(wxConvUTF8), language.delay);
        EXPECT_EQ(frame->m_staticText4->GetLabel().ToStdString(wxConvUTF8), language.width);
    }
}

TEST_F(LanguageTest, FileHoldingZeroStartsInTheSystemLanguageWithNothingMarked) {
    WriteLanguageFile("0");
    Restart();
    EXPECT_EQ(frame->m_language, 0);
    EXPECT_TRUE(CheckedLanguages(frame).empty());
    EXPECT_EQ(frame->m_menubar->GetMenuCount(), 4u);
    EXPECT_EQ(LanguageFileBytes(), "0");
}

TEST_F(LanguageTest, FileHoldingALanguageOfNoEntryAppliesItWithNothingMarked) {
    WriteLanguageFile("60");
    Restart();
    EXPECT_EQ(frame->m_language, 60);
    EXPECT_TRUE(CheckedLanguages(frame).empty());
    // No catalog exists for it, so the texts are the English keys.
    EXPECT_EQ(MenuTitles(frame->m_menubar), (std::vector<std::string>{"File", "Frame", "Animation", "Help"}));
    EXPECT_EQ(frame->m_staticText1->GetLabel(), "Delay :");
    EXPECT_EQ(LanguageFileBytes(), "60");
}

TEST_F(LanguageTest, FileHoldingANumberTheToolkitDoesNotKnowStartsQuietly) {
    // 1 is the toolkit's "unknown language", on which it would assert; the others have no table entry.
    for (const char* bytes : {"1", "-3", "99999"}) {
        WriteLanguageFile(bytes);
        CountingLog log;
        Restart();
        EXPECT_EQ(frame->m_language, std::stoi(bytes));
        EXPECT_TRUE(CheckedLanguages(frame).empty()) << bytes;
        EXPECT_EQ(log.alarming, 0) << bytes;
    }
}

TEST_F(LanguageTest, PickingTheLanguageInForceRewritesTheFileAndRebuildsTheMenus) {
    WriteLanguageFile("junk");
    wxMenuBar* const before = frame->m_menubar;
    Pick(kEnglish);
    EXPECT_EQ(LanguageFileBytes(), "58");
    EXPECT_NE(frame->m_menubar, before);
    // The pick toggled the entry off before the handler ran; the rebuilt menu marks it again.
    EXPECT_EQ(CheckedLanguages(frame), std::vector<int>{kEnglish});
}

TEST_F(LanguageTest, RebuiltMenusEnableTheFrameCommandsOnlyWhenTheStripHoldsFrames) {
    Pick(kFrench);
    for (wxMenuItem* item : {frame->m_menuItem_save, frame->m_menuItem_save_as, frame->m_menuItem_save_project,
                             frame->m_menuItem_delete, frame->m_menuItem_clear_all, frame->m_menuItem_run,
                             frame->m_menuItem_loop_count})
        EXPECT_FALSE(item->IsEnabled()) << item->GetItemLabel();
    EXPECT_TRUE(frame->m_menuItem_add_image->IsEnabled());
    EXPECT_TRUE(frame->m_menuItem_open_project->IsEnabled());

    AppendFrame();
    Pick(kItalian);
    for (wxMenuItem* item : {frame->m_menuItem_save, frame->m_menuItem_save_as, frame->m_menuItem_save_project,
                             frame->m_menuItem_delete, frame->m_menuItem_clear_all, frame->m_menuItem_run,
                             frame->m_menuItem_loop_count})
        EXPECT_TRUE(item->IsEnabled()) << item->GetItemLabel();
    EXPECT_TRUE(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool14")));
    EXPECT_TRUE(frame->m_spinctrl_delay->IsEnabled());
}

TEST_F(LanguageTest, RebuiltMenuTellsWhetherThePreviewIsPlaying) {
    AppendFrame();
    wxCommandEvent run(wxEVT_MENU, frame->m_menuItem_run->GetId());
    frame->OnRunAnimation(run);
    ASSERT_TRUE(MyFrame::s_playing);
    // Picking a language leaves the preview playing, and the rebuilt item offers to stop it.
    Pick(kJapanese);
    EXPECT_TRUE(MyFrame::s_playing);
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel().ToStdString(wxConvUTF8), "アニメーションを停止\tCtrl+T");
    frame->StopAnimation();
    Pick(kJapanese);
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel().ToStdString(wxConvUTF8), "アニメーションを再生\tCtrl+P");
}
