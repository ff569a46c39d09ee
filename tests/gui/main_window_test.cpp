#include "tests/support/gui_test.h"

#include "app/paths.h"
#include "window/my_frame.h"

#include <wx/menu.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

namespace {

wxString LabelOf(wxMenuItem* item) { return item->GetItemLabel(); }

}  // namespace

TEST_F(MainWindowTest, TitleMenusAndFieldsAfterStartUp) {
    EXPECT_EQ(frame->GetTitle(), "Quintrel Tavelle");
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_EQ(bar, frame->m_menubar);
    ASSERT_EQ(bar->GetMenuCount(), 4u);
    EXPECT_EQ(bar->GetMenuLabelText(0), "File");
    EXPECT_EQ(bar->GetMenuLabelText(1), "Frame");
    EXPECT_EQ(bar->GetMenuLabelText(2), "Animation");
    EXPECT_EQ(bar->GetMenuLabelText(3), "Help");
    EXPECT_EQ(frame->m_statusBar1->GetFieldsCount(), 3);
    EXPECT_EQ(frame->m_statusBar1->GetStatusWidth(0), 200);
    EXPECT_EQ(frame->m_statusBar1->GetStatusWidth(1), 400);
    EXPECT_EQ(frame->m_statusBar1->GetStatusWidth(2), -1);
}

TEST_F(MainWindowTest, MenuItemsInOrderWithTheirShortcuts) {
    const auto labels = [](wxMenu* menu) {
        std::vector<std::string> result;
        for (wxMenuItem* item : menu->GetMenuItems())
            result.push_back(item->GetItemLabel().ToStdString(wxConvUTF8));
        return result;
    };
    EXPECT_EQ(labels(frame->m_menu_file), (std::vector<std::string>{"Save", "Save As", "Open Project",
                                                                    "Save Project\tCtrl+S", "Exit\tCtrl+Q"}));
    EXPECT_EQ(labels(frame->m_menu_frame),
              (std::vector<std::string>{"Add Image\tCtrl+Ins", "Delete\tCtrl+Del", "Clear All"}));
    EXPECT_EQ(labels(frame->m_menu_animation), (std::vector<std::string>{"Run animation\tCtrl+P", "Loop Count", "",
                                                                          "Exact", "Smaller", "Smallest"}));
    EXPECT_EQ(labels(frame->m_menu_help),
              (std::vector<std::string>{"Help", "Language", "Support", "Check for Update", "About"}));
    EXPECT_EQ(labels(frame->m_menu_language),
              (std::vector<std::string>{"中文简体", "中文繁体", "Deutsch", "English", "Français", "Italiano",
                                        "日本語"}));
    // Language entries carry the toolkit language identifiers and are check items.
    const int ids[] = {46, 47, 89, 58, 80, 110, 112};
    size_t i = 0;
    for (wxMenuItem* item : frame->m_menu_language->GetMenuItems()) {
        EXPECT_EQ(item->GetId(), ids[i++]);
        EXPECT_TRUE(item->IsCheckable());
    }
}

TEST_F(MainWindowTest, FreshStartChecksEnglishAndStoresIt) {
    EXPECT_EQ(frame->m_language, 58);
    for (wxMenuItem* item : frame->m_menu_language->GetMenuItems())
        EXPECT_EQ(item->IsChecked(), item->GetId() == 58) << item->GetItemLabel();
}

TEST_F(MainWindowTest, CommandsThatNeedFramesStartDisabled) {
    for (wxMenuItem* item : {frame->m_menuItem_save, frame->m_menuItem_save_as, frame->m_menuItem_save_project,
                             frame->m_menuItem_delete, frame->m_menuItem_clear_all, frame->m_menuItem_run,
                             frame->m_menuItem_loop_count})
        EXPECT_FALSE(item->IsEnabled()) << LabelOf(item);
    for (wxMenuItem* item : {frame->m_menuItem_open_project, frame->m_menuItem_exit, frame->m_menuItem_add_image,
                             frame->m_menuItem_help, frame->m_menuItem_support, frame->m_menuItem_check_update,
                             frame->m_menuItem_about})
        EXPECT_TRUE(item->IsEnabled()) << LabelOf(item);
    EXPECT_FALSE(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool13")));
    EXPECT_FALSE(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool14")));
    EXPECT_TRUE(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool12")));
    EXPECT_FALSE(frame->m_spinctrl_delay->IsEnabled());
    EXPECT_FALSE(frame->m_spinctrl_width->IsEnabled());
    EXPECT_FALSE(frame->m_spinctrl_height->IsEnabled());
}

TEST_F(MainWindowTest, ControlLabelsAreTheEnglishKeys) {
    EXPECT_EQ(frame->m_staticText1->GetLabel(), "Delay :");
    EXPECT_EQ(frame->m_staticText2->GetLabel(), "sec ");
    EXPECT_EQ(frame->m_staticText3->GetLabel(), "GIF:");
    EXPECT_EQ(frame->m_staticText4->GetLabel(), "Width:");
    EXPECT_EQ(frame->m_staticText5->GetLabel(), "px");
    EXPECT_EQ(frame->m_staticText6->GetLabel(), "Height:");
    EXPECT_EQ(frame->m_staticText7->GetLabel(), "px");
}

TEST_F(MainWindowTest, IconComesFromTheThemesFolder) {
    EXPECT_TRUE(frame->GetIcon().IsOk());
}
