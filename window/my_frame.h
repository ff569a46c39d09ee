#pragma once
// The one top-level window: menus, tool bar, status bar, the frame strip, the preview and the settings.

#include "window/frame_order.h"
#include "window/frame_intake.h"
#include "window/frame_picture_cache.h"
#include "window/preview_canvas.h"
#include "window/work_model.h"

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class wxLocale;
class wxMenu;
class wxMenuItem;
class wxPanel;
class wxSpinCtrl;
class wxStaticText;
class wxStatusBar;
class wxToolBar;
class wxThumbnailCtrl;
class wxThumbnailEvent;
class wxImageThumbnailItem;
class wxThumbnailItem;
class Autosaver;
struct AutosavedWork;
class SizeEstimateStatus;

class MyFrame : public wxFrame {
public:
    MyFrame();
    ~MyFrame() override;

    // Finds the layout's named objects; returns the XRC name of the first one missing, or "".
    wxString LookUpLayout();
    virtual void InitFrame();

    void BuildMenuBar();
    void RefreshLabels();

    // Interface language.
    void ApplyLanguage(int language);
    void OnLanguage(wxCommandEvent& event);

    // Frame list editing and settings.
    void EnableFrameCommands(bool enable);
    void RefreshOutputSize();
    void AddImageFiles(const wxArrayString& paths);
    // The box the strip fits its thumbnails into.
    wxSize ThumbnailBox() const;
    // The part of Insert Image after its dialog.
    void InsertImageFiles(const wxArrayString& paths);
    // Inserts before the frame `position`, the files in the order given; nothing when no frame is there.
    void InsertImageFiles(const wxArrayString& paths, int position);
    // Files and folders dropped on the strip or the preview: before the frame `beforeFrame`, or at the
    // end when it is -1; a project file dropped alone is opened as Open Project opens it.
    void DropFiles(const wxArrayString& paths, int beforeFrame);
    // While a batch of pictures is read, nothing that would read another or change the frame list runs.
    bool IsLoadingFrames() const;
    void OnAddImage(wxCommandEvent& event);
    void OnInsertImage(wxCommandEvent& event);
    void OnDeleteImages(wxCommandEvent& event);
    void OnClearAll(wxCommandEvent& event);
    void OnThumbnailLeftClick(wxThumbnailEvent& event);
    void OnThumbnailRightClick(wxThumbnailEvent& event);
    void OnDelayChanged(wxCommandEvent& event);
    void OnWidthChanged(wxCommandEvent& event);
    void OnHeightChanged(wxCommandEvent& event);

    // Undo, Redo and reordering. The work is what the strip and the controls show; every change to it is
    // recorded in m_work as one step.
    using Work = WorkModel<std::shared_ptr<wxThumbnailItem>>;
    Work::State CurrentWork() const;
    // Records the change from `before` to the work now, named by an untranslated action key; where adding
    // frames runs in batches, call it once the batch has joined the strip.
    void RecordChange(const char* action, const Work::State& before, const char* mergeKey = "");
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnMoveEarlier(wxCommandEvent& event);
    void OnMoveLater(wxCommandEvent& event);
    void OnMoveRowEarlier(wxCommandEvent& event);
    void OnMoveRowLater(wxCommandEvent& event);
    void OnDuplicate(wxCommandEvent& event);
    void OnReverse(wxCommandEvent& event);
    void OnThumbnailMoveSelection(wxThumbnailEvent& event);

    // Preview player.
    void ShowFrame(wxImageThumbnailItem* item);
    void StopAnimation();
    void OnRunAnimation(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnLoopCount(wxCommandEvent& event);

    // Export.
    void OnSaveGif(wxCommandEvent& event);
    void OnSaveGifAs(wxCommandEvent& event);
    bool WriteGifFile();
    // Exact, Smaller or Smallest from the Animation menu; remembered for the next start.
    void OnExportLevel(wxCommandEvent& event);
    void SetExportLevel(int level);

    // Projects and closing.
    void OnOpenProject(wxCommandEvent& event);
    void OnSaveProject(wxCommandEvent& event);
    void LoadProject();
    // The unsaved-work question before the work is replaced; false when the user keeps the work.
    bool ConfirmReplacingWork();
    void OpenProjectFile(const wxString& path);
    // Files named on the command line: one project file is opened, anything else is added as pictures in
    // natural order.
    void OpenFromCommandLine(const wxArrayString& arguments);
    bool SaveProject();
    void OnQuit(wxCloseEvent& event);
    void OnQuitMenu(wxCommandEvent& event);
    void Quit();
    void ConfirmClose();

    // Unsaved work kept on disc between runs.
    void StartAutosave();
    // Offers the work a run that did not end normally left behind; returns whether it was restored.
    bool OfferToRestore();
    void RestoreWork(const AutosavedWork& work);
    // The program is told to end (SIGTERM, SIGHUP): the work is kept for the next start, nothing is asked.
    void KeepWorkAndClose();

    // Help menu.
    void OnHelpMenu(wxCommandEvent& event);
    void CheckForUpdate();
    void OnUpdateResult(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);

    wxThumbnailCtrl* GetThumbnailCtrl() const { return m_thumbnailCtrl; }

    // Members are public like the toolkit's generated frames: the tests read the window's state directly.
    wxPanel* m_panel1 = nullptr;
    wxPanel* m_panel2 = nullptr;
    wxMenuBar* m_menubar = nullptr;
    wxMenu* m_menu_file = nullptr;
    wxMenu* m_menu_edit = nullptr;
    wxMenu* m_menu_frame = nullptr;
    wxMenu* m_menu_animation = nullptr;
    wxMenu* m_menu_help = nullptr;
    wxMenuItem* m_menuItem_open_project = nullptr;
    wxMenuItem* m_menuItem_save = nullptr;
    wxMenuItem* m_menuItem_save_as = nullptr;
    wxMenuItem* m_menuItem_save_project = nullptr;
    wxMenuItem* m_menuItem_exit = nullptr;
    wxMenuItem* m_menuItem_add_image = nullptr;
    wxMenuItem* m_menuItem_delete = nullptr;
    wxMenuItem* m_menuItem_clear_all = nullptr;
    wxMenuItem* m_menuItem_undo = nullptr;
    wxMenuItem* m_menuItem_redo = nullptr;
    wxMenuItem* m_menuItem_move_earlier = nullptr;
    wxMenuItem* m_menuItem_move_later = nullptr;
    wxMenuItem* m_menuItem_move_row_earlier = nullptr;
    wxMenuItem* m_menuItem_move_row_later = nullptr;
    wxMenuItem* m_menuItem_duplicate = nullptr;
    wxMenuItem* m_menuItem_reverse = nullptr;
    wxMenuItem* m_menuItem_run = nullptr;
    wxMenuItem* m_menuItem_loop_count = nullptr;
    wxMenuItem* m_menuItem_export_levels[3] = {nullptr, nullptr, nullptr};
    wxMenuItem* m_menuItem_help = nullptr;
    wxMenu* m_menu_language = nullptr;
    wxMenuItem* m_menuItem_support = nullptr;
    wxMenuItem* m_menuItem_check_update = nullptr;
    wxMenuItem* m_menuItem_about = nullptr;
    wxStaticText* m_staticText1 = nullptr;
    wxStaticText* m_staticText2 = nullptr;
    wxStaticText* m_staticText3 = nullptr;
    wxStaticText* m_staticText4 = nullptr;
    wxStaticText* m_staticText5 = nullptr;
    wxStaticText* m_staticText6 = nullptr;
    wxStaticText* m_staticText7 = nullptr;
    // The work's history and its state at the last project open or save.
    Work m_work;
    wxToolBar* m_toolBar2 = nullptr;
    wxThumbnailCtrl* m_thumbnailCtrl = nullptr;
    wxTimer m_timer;
    int m_baseWidth = 0;
    int m_baseHeight = 0;
    int m_outputWidth = 0;
    int m_outputHeight = 0;
    wxString m_gifPath;
    wxString m_gifName;
    wxString m_projectPath;
    wxString m_projectName;
    wxString m_currentFileName;
    wxSize m_currentPictureSize;  // of the frame last shown by a click; 0 x 0 when it could not be shown
    int m_frameIndex = 0;
    int m_loopCount = 0;
    int m_loopsDone = 0;
    int m_language = 0;
    wxSpinCtrl* m_spinctrl_delay = nullptr;
    wxSpinCtrl* m_spinctrl_width = nullptr;
    wxSpinCtrl* m_spinctrl_height = nullptr;
    wxStatusBar* m_statusBar1 = nullptr;
    wxLocale* m_locale = nullptr;
    std::unique_ptr<Autosaver> m_autosaver;
    int m_exportLevel = 0;  // 0 exact, 1 smaller, 2 smallest
    std::unique_ptr<SizeEstimateStatus> m_sizeEstimate;

    // Whether the preview player runs; process-wide as the toggling command reads it.
    static bool s_playing;

private:
    // A menu label: the translated key, then a tab and the untranslated shortcut when there is one.
    static wxString MenuLabel(const wxString& key, const wxString& shortcut = wxString());
    wxMenuItem* AppendItem(wxMenu* menu, const wxString& key, const wxString& shortcut = wxString());
    void SetControlLabels();
    void InstallDropTargets();
    // The menu commands of the current bar, bound or unbound all together.
    void BindMenuCommands(bool bind);

    // Preview player: the run and stop look of the tool and the menu item.
    void ShowPlayerState(bool playing);
    // The preview panel's picture; Clear() it whenever frames are removed.
    PreviewCanvas m_preview;
    FramePictureCache m_framePictures;
    // The item's picture as the preview panel shows it (reduced to 256 colours, or in its own colours).
    FramePictureCache::Pictures PreviewPicture(const wxImageThumbnailItem& item, bool reduced = true);
    // The frames after `index` (and the one before it), prepared while that one is looked at.
    void PrefetchAround(int index);

    // Frame intake: one batch at a time, with the menus and tools at rest meanwhile.
    frame_intake::Summary RunIntake(const char* titleKey, const wxArrayString& paths,
                                    const frame_intake::AddFrame& add);
    // True, with a bell, while a batch is read: the command that asked must not run now.
    bool RefusedWhileLoading() const;
    // While a batch is read: stops it and runs `then` once it has unwound (closing must not pull the
    // window from under it); true when deferred.
    bool DeferWhileLoading(std::function<void()> then);
    std::function<void()> m_whenLoaded;

    // Unsaved work: the delay, width, height and the frames' files in order against the last opened or
    // saved values.
    bool MatchesSnapshot() const;
    void TakeSnapshot();
    std::vector<wxString> FramePaths() const;
    // Shows a state of the work taken back or done again.
    void ShowWork(const Work::State& state);
    // Undo or Redo: the state it gives back is shown; a refused step leaves the work as it is.
    void StepThroughHistory(std::optional<Work::State> (Work::*step)(const Work::State&));
    // The reordering commands: the strip's new order, recorded as one step; nothing when it is none.
    void Rearrange(const char* action, const std::optional<frame_order::Arrangement>& arrangement);
    void MoveSelectionBy(int offset);
    void RefreshEditMenu();
    // The work when it has frames and differs from the snapshot; nothing otherwise.
    std::optional<AutosavedWork> UnsavedWork() const;
    // Changes whenever UnsavedWork may give something else; costs nothing like it.
    size_t WorkMark() const;
    size_t m_snapshotsTaken = 0;
    // The unsaved-work question; returns wxID_YES, wxID_NO or wxID_CANCEL.
    int AskToSaveProject(const wxString& title, bool allowCancel = true);
    // Project title: the name part without ".xml", " - ", the display name.
    void ShowProjectTitle();
    // A failed write: a message box naming the file and the reason.
    void ReportWriteFailure(const wxString& path, const wxString& reason);

    wxDECLARE_EVENT_TABLE();
};
