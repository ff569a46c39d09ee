#include "window/my_frame.h"

#include "app/export_level_setting.h"
#include "app/interface_languages.h"
#include "app/paths.h"
#include "app/update_check.h"
#include "window/application_icon.h"
#include "window/autosaver.h"
#include "window/size_estimate_status.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/iconbndl.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include <utility>
#include <vector>

bool MyFrame::s_playing = false;

namespace {

template <typename T>
T* FindInLayout(wxWindow* parent, const char* name, wxString& missing) {
    T* window = wxDynamicCast(parent->FindWindow(wxXmlResource::GetXRCID(name)), T);
    if (!window && missing.empty())
        missing = name;
    return window;
}

}  // namespace

wxBEGIN_EVENT_TABLE(MyFrame, wxFrame)
    EVT_THUMBNAIL_LEFT_CLICK(1, MyFrame::OnThumbnailLeftClick)
    EVT_THUMBNAIL_RIGHT_CLICK(1, MyFrame::OnThumbnailRightClick)
    EVT_THUMBNAIL_MOVE_SELECTION(1, MyFrame::OnThumbnailMoveSelection)
    EVT_CLOSE(MyFrame::OnQuit)
    EVT_COMMAND(wxID_ANY, wxEVT_COMMAND_UPDATE_RESULT, MyFrame::OnUpdateResult)
wxEND_EVENT_TABLE()

MyFrame::MyFrame() : m_work([](const std::shared_ptr<wxThumbnailItem>& frame) { return frame->m_path; }) {}

MyFrame::~MyFrame() {
    m_sizeEstimate.reset();  // its worker stops before the window's state goes
    TheUpdateFetch().Forget(this);  // a check still running must not reach this window
    m_timer.Stop();
    delete m_locale;
}

wxString MyFrame::LookUpLayout() {
    wxString missing;
    m_panel1 = FindInLayout<wxPanel>(this, "m_panel1", missing);
    m_panel2 = FindInLayout<wxPanel>(this, "m_panel2", missing);
    m_spinctrl_delay = FindInLayout<wxSpinCtrl>(this, "m_spinctrl_delay", missing);
    m_spinctrl_width = FindInLayout<wxSpinCtrl>(this, "m_spinctrl_width", missing);
    m_spinctrl_height = FindInLayout<wxSpinCtrl>(this, "m_spinctrl_height", missing);
    wxStaticText** const texts[] = {&m_staticText1, &m_staticText2, &m_staticText3, &m_staticText4,
                                    &m_staticText5, &m_staticText6, &m_staticText7};
    for (size_t i = 0; i < WXSIZEOF(texts); ++i) {
        const wxString name = wxString::Format("m_staticText%zu", i + 1);
        *texts[i] = FindInLayout<wxStaticText>(this, name.utf8_str(), missing);
    }
    m_statusBar1 = FindInLayout<wxStatusBar>(this, "m_statusBar1", missing);
    m_toolBar2 = FindInLayout<wxToolBar>(this, "m_toolBar2", missing);
    if (m_toolBar2 && missing.empty()) {
        for (const char* tool : {"m_tool12", "m_tool13", "m_tool14"}) {
            if (!m_toolBar2->FindById(wxXmlResource::GetXRCID(tool))) {
                missing = tool;
                break;
            }
        }
    }
    return missing;
}

void MyFrame::InitFrame() {
    const int language = paths::ReadLanguage();
    // Once per window, not per language switch: the toolkit keeps its search folders for the process.
    wxLocale::AddCatalogLookupPathPrefix(interface_languages::CatalogFolder());
    ApplyLanguage(language);
    m_language = language;
    m_exportLevel = export_level_setting::Read();

    BuildMenuBar();

    Bind(wxEVT_MENU, &MyFrame::OnRunAnimation, this, XRCID("m_tool14"));
    Bind(wxEVT_MENU, &MyFrame::OnDeleteImages, this, XRCID("m_tool13"));
    Bind(wxEVT_MENU, &MyFrame::OnAddImage, this, XRCID("m_tool12"));
    Bind(wxEVT_TIMER, &MyFrame::OnTimer, this, 1);
    Bind(wxEVT_TEXT, &MyFrame::OnDelayChanged, this, XRCID("m_spinctrl_delay"));
    Bind(wxEVT_TEXT, &MyFrame::OnWidthChanged, this, XRCID("m_spinctrl_width"));
    Bind(wxEVT_TEXT, &MyFrame::OnHeightChanged, this, XRCID("m_spinctrl_height"));
    Bind(wxEVT_MENU, &MyFrame::OnLoopCount, this, XRCID("m_menuItem_loop_count"));

    m_panel1->SetSizer(new wxBoxSizer(wxHORIZONTAL));
    m_thumbnailCtrl = new wxThumbnailCtrl(m_panel1, wxDefaultPosition, m_panel1->GetSize());
    m_panel1->GetSizer()->Add(m_thumbnailCtrl, 1, wxEXPAND, 0);
    m_thumbnailCtrl->SetBackgroundColour(wxColour(176, 223, 227));

    m_panel2->SetBackgroundColour(wxSystemSettingsNative::GetColour(wxSYS_COLOUR_INFOBK));
    m_preview.Attach(m_panel2);
    InstallDropTargets();
    m_timer.SetOwner(this, 1);

    SetControlLabels();
    const int widths[] = {200, 400, -1};
    m_statusBar1->SetFieldsCount(3, widths);

    EnableFrameCommands(false);

    m_baseWidth = m_baseHeight = 0;
    m_frameIndex = m_loopCount = m_loopsDone = 0;

    const wxIconBundle icons =
        ApplicationIcons(ApplicationIconName(), paths::InstallationFolder() + "/Themes/application.ico");
    if (!icons.IsEmpty())
        SetIcons(icons);
    SetTitle(paths::DisplayName());
    StartAutosave();
    m_sizeEstimate = std::make_unique<SizeEstimateStatus>(*this);
}

wxString MyFrame::MenuLabel(const wxString& key, const wxString& shortcut) {
    wxString label = wxGetTranslation(key);
    if (!shortcut.empty())
        label << '\t' << shortcut;
    return label;
}

wxMenuItem* MyFrame::AppendItem(wxMenu* menu, const wxString& key, const wxString& shortcut) {
    return menu->Append(new wxMenuItem(menu, wxID_ANY, MenuLabel(key, shortcut), wxEmptyString, wxITEM_NORMAL));
}

void MyFrame::BuildMenuBar() {
    // A rebuild (a language switch) replaces the bar: its commands are unbound before their items go.
    wxMenuBar* previous = GetMenuBar();
    if (previous)
        BindMenuCommands(false);
    m_menubar = new wxMenuBar();

    m_menu_file = new wxMenu();
    m_menuItem_save = AppendItem(m_menu_file, "Save");
    m_menuItem_save_as = AppendItem(m_menu_file, "Save As");
    m_menuItem_open_project = AppendItem(m_menu_file, "Open Project");
    m_menuItem_save_project = AppendItem(m_menu_file, "Save Project", "Ctrl+S");
    m_menuItem_exit = AppendItem(m_menu_file, "Exit", "Ctrl+Q");
    m_menubar->Append(m_menu_file, wxGetTranslation("File"));

    // Labelled with the action they take back or do again by RefreshEditMenu.
    m_menu_edit = new wxMenu();
    m_menuItem_undo = AppendItem(m_menu_edit, "Undo", "Ctrl+Z");
    m_menuItem_redo = AppendItem(m_menu_edit, "Redo", "Ctrl+Shift+Z");
    m_menuItem_redo->AddExtraAccel(wxAcceleratorEntry(wxACCEL_CTRL, 'Y'));
    m_menubar->Append(m_menu_edit, wxGetTranslation("Edit"));

    m_menu_frame = new wxMenu();
    m_menuItem_add_image = AppendItem(m_menu_frame, "Add Image", "Ctrl+Ins");
    m_menuItem_delete = AppendItem(m_menu_frame, "Delete", "Ctrl+Del");
    m_menuItem_clear_all = AppendItem(m_menu_frame, "Clear All");
    m_menu_frame->AppendSeparator();
    m_menuItem_move_earlier = AppendItem(m_menu_frame, "Move Earlier", "Alt+Left");
    m_menuItem_move_later = AppendItem(m_menu_frame, "Move Later", "Alt+Right");
    m_menuItem_move_row_earlier = AppendItem(m_menu_frame, "Move a Row Earlier", "Alt+Up");
    m_menuItem_move_row_later = AppendItem(m_menu_frame, "Move a Row Later", "Alt+Down");
    m_menuItem_duplicate = AppendItem(m_menu_frame, "Duplicate");
    m_menuItem_reverse = AppendItem(m_menu_frame, "Reverse");
    m_menubar->Append(m_menu_frame, wxGetTranslation("Frame"));

    m_menu_animation = new wxMenu();
    m_menuItem_run = AppendItem(m_menu_animation, "Run animation", "Ctrl+P");
    m_menuItem_loop_count = AppendItem(m_menu_animation, "Loop Count");
    m_menu_animation->AppendSeparator();
    static const char* const kExportLevels[] = {wxTRANSLATE("Exact"), wxTRANSLATE("Smaller"), wxTRANSLATE("Smallest")};
    for (int level = 0; level < 3; ++level) {
        m_menuItem_export_levels[level] = m_menu_animation->AppendRadioItem(wxID_ANY, wxGetTranslation(kExportLevels[level]));
    }
    m_menuItem_export_levels[m_exportLevel]->Check();
    m_menubar->Append(m_menu_animation, wxGetTranslation("Animation"));

    m_menu_help = new wxMenu();
    m_menuItem_help = AppendItem(m_menu_help, "Help");
    m_menu_language = new wxMenu();
    for (const interface_languages::Entry& entry : interface_languages::Entries()) {
        m_menu_language->Append(new wxMenuItem(m_menu_language, entry.identifier, wxString::FromUTF8(entry.label),
                                               wxEmptyString, wxITEM_CHECK));
    }
    if (wxMenuItem* current = m_menu_language->FindItem(m_language))
        current->Check(true);
    m_menu_help->AppendSubMenu(m_menu_language, wxGetTranslation("Language"));
    m_menuItem_support = AppendItem(m_menu_help, "Support");
    m_menuItem_check_update = AppendItem(m_menu_help, "Check for Update");
    m_menuItem_about = AppendItem(m_menu_help, "About");
    m_menubar->Append(m_menu_help, wxGetTranslation("Help"));

    BindMenuCommands(true);
    SetMenuBar(m_menubar);
    RefreshEditMenu();
    // The strip takes plain arrow keys before the menu bar sees them; this table is looked at first.
    wxAcceleratorEntry moves[] = {
        {wxACCEL_ALT, WXK_LEFT, m_menuItem_move_earlier->GetId()},
        {wxACCEL_ALT, WXK_RIGHT, m_menuItem_move_later->GetId()},
        {wxACCEL_ALT, WXK_UP, m_menuItem_move_row_earlier->GetId()},
        {wxACCEL_ALT, WXK_DOWN, m_menuItem_move_row_later->GetId()},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(moves), moves));
    // The command being handled may come from the old bar's own item: delete it once that is over.
    if (previous)
        wxTheApp->ScheduleForDestruction(previous);
}

void MyFrame::BindMenuCommands(bool bind) {
    using Handler = void (MyFrame::*)(wxCommandEvent&);
    std::vector<std::pair<int, Handler>> commands = {
        {m_menuItem_run->GetId(), &MyFrame::OnRunAnimation},
        {m_menuItem_delete->GetId(), &MyFrame::OnDeleteImages},
        {m_menuItem_clear_all->GetId(), &MyFrame::OnClearAll},
        {wxID_DELETE, &MyFrame::OnDeleteImages},
        {m_menuItem_exit->GetId(), &MyFrame::OnQuitMenu},
        {m_menuItem_add_image->GetId(), &MyFrame::OnAddImage},
        {0, &MyFrame::OnInsertImage},
        {m_menuItem_save->GetId(), &MyFrame::OnSaveGif},
        {m_menuItem_save_as->GetId(), &MyFrame::OnSaveGifAs},
        {m_menuItem_save_project->GetId(), &MyFrame::OnSaveProject},
        {m_menuItem_open_project->GetId(), &MyFrame::OnOpenProject},
        {m_menuItem_loop_count->GetId(), &MyFrame::OnLoopCount},
        {m_menuItem_help->GetId(), &MyFrame::OnHelpMenu},
        {m_menuItem_support->GetId(), &MyFrame::OnHelpMenu},
        {m_menuItem_check_update->GetId(), &MyFrame::OnHelpMenu},
        {m_menuItem_about->GetId(), &MyFrame::OnAbout},
        {m_menuItem_undo->GetId(), &MyFrame::OnUndo},
        {m_menuItem_redo->GetId(), &MyFrame::OnRedo},
        {m_menuItem_move_earlier->GetId(), &MyFrame::OnMoveEarlier},
        {m_menuItem_move_later->GetId(), &MyFrame::OnMoveLater},
        {m_menuItem_move_row_earlier->GetId(), &MyFrame::OnMoveRowEarlier},
        {m_menuItem_move_row_later->GetId(), &MyFrame::OnMoveRowLater},
        {m_menuItem_duplicate->GetId(), &MyFrame::OnDuplicate},
        {m_menuItem_reverse->GetId(), &MyFrame::OnReverse},
    };
    for (const interface_languages::Entry& entry : interface_languages::Entries())
        commands.emplace_back(entry.identifier, &MyFrame::OnLanguage);
    for (wxMenuItem* level : m_menuItem_export_levels)
        commands.emplace_back(level->GetId(), &MyFrame::OnExportLevel);
    for (const auto& [id, handler] : commands) {
        if (bind)
            Bind(wxEVT_MENU, handler, this, id);
        else
            Unbind(wxEVT_MENU, handler, this, id);
    }
}

void MyFrame::SetControlLabels() {
    m_staticText1->SetLabel(wxGetTranslation("Delay ") + ":");
    m_staticText2->SetLabel(wxGetTranslation("sec "));
    m_staticText3->SetLabel(wxGetTranslation("GIF") + ":");
    m_staticText4->SetLabel(wxGetTranslation("Width") + ":");
    m_staticText5->SetLabel(wxGetTranslation("px"));
    m_staticText6->SetLabel(wxGetTranslation("Height") + ":");
    m_staticText7->SetLabel(wxGetTranslation("px"));
}

void MyFrame::RefreshLabels() {
    SetControlLabels();
    m_statusBar1->SetStatusText(
        status_texts::ClickedFrame(m_currentFileName, m_currentPictureSize.x, m_currentPictureSize.y), 1);
    RefreshOutputSize();
    SetTitle(paths::DisplayName());
}

void MyFrame::EnableFrameCommands(bool enable) {
    m_menuItem_save->Enable(enable);
    m_menuItem_save_as->Enable(enable);
    m_menuItem_delete->Enable(enable);
    m_menuItem_clear_all->Enable(enable);
    m_menuItem_run->Enable(enable);
    m_menuItem_loop_count->Enable(enable);
    m_toolBar2->EnableTool(XRCID("m_tool13"), enable);
    m_toolBar2->EnableTool(XRCID("m_tool14"), enable);
    m_spinctrl_delay->Enable(enable);
    m_spinctrl_width->Enable(enable);
    m_spinctrl_height->Enable(enable);
    m_menuItem_save_project->Enable(enable);
    for (wxMenuItem* item : {m_menuItem_move_earlier, m_menuItem_move_later, m_menuItem_move_row_earlier,
                             m_menuItem_move_row_later, m_menuItem_duplicate, m_menuItem_reverse})
        item->Enable(enable);
}
