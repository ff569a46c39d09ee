// Frames arriving in the main window: the batch is read while the window stays responsive, and
// nothing that would start another batch or change the frame list runs until it is done.
#include "window/my_frame.h"

#include "window/frame_intake.h"

#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <utility>
#include <vector>

namespace {

// The menus and the tool bar rest while a batch is read; the strip, the preview and the settings do not.
class CommandsAtRest {
public:
    CommandsAtRest(wxMenuBar* menus, wxToolBar* tools) : m_menus(menus), m_tools(tools) {
        for (size_t i = 0; i < m_menus->GetMenuCount(); ++i) {
            m_wereEnabled.push_back(m_menus->IsEnabledTop(i));
            m_menus->EnableTop(i, false);
        }
        m_tools->Enable(false);
    }
    ~CommandsAtRest() {
        for (size_t i = 0; i < m_wereEnabled.size() && i < m_menus->GetMenuCount(); ++i)
            m_menus->EnableTop(i, m_wereEnabled[i]);
        m_tools->Enable(true);
    }
    CommandsAtRest(const CommandsAtRest&) = delete;
    CommandsAtRest& operator=(const CommandsAtRest&) = delete;

private:
    wxMenuBar* const m_menus;
    wxToolBar* const m_tools;
    std::vector<bool> m_wereEnabled;
};

}  // namespace

bool MyFrame::IsLoadingFrames() const { return frame_intake::Busy(); }

bool MyFrame::RefusedWhileLoading() const {
    if (!IsLoadingFrames())
        return false;
    wxBell();
    return true;
}

frame_intake::Summary MyFrame::RunIntake(const char* titleKey, const wxArrayString& paths,
                                         const frame_intake::AddFrame& add) {
    if (RefusedWhileLoading()) {
        frame_intake::Summary refused;
        refused.cancelled = true;
        return refused;
    }
    frame_intake::Summary summary;
    {
        const CommandsAtRest atRest(m_menubar, m_toolBar2);
        summary = frame_intake::Run(this, titleKey, paths, ThumbnailBox(), add);
    }
    if (m_whenLoaded)
        CallAfter(std::exchange(m_whenLoaded, nullptr));
    return summary;
}

bool MyFrame::DeferWhileLoading(std::function<void()> then) {
    if (!IsLoadingFrames())
        return false;
    // The batch stops after the frame being added.
    frame_intake::CancelBusy();
    m_whenLoaded = std::move(then);
    return true;
}
