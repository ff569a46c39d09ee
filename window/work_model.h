#pragma once
// The work as the window shows it (the frames in order, the delay and the output size), the history of
// its changes for Undo and Redo, and the work as it was last opened or saved, for the unsaved-work test.
// Needs no window: `Frame` is any handle that compares by identity (the window uses shared pointers to
// its strip items), so a step keeps removed frames alive by sharing them, never by copying pictures.

#include <wx/string.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct WorkSettings {
    int delay = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WorkSettings& other) const {
        return delay == other.delay && width == other.width && height == other.height;
    }
    bool operator!=(const WorkSettings& other) const { return !(*this == other); }
};

template <typename Frame>
struct WorkState {
    std::vector<Frame> frames;
    WorkSettings settings;
    // Indices of the selected frames; restored with the frames but no part of the saved work.
    std::vector<int> selection;
};

template <typename Frame>
class WorkModel {
public:
    using State = WorkState<Frame>;
    using PathOf = std::function<wxString(const Frame&)>;

    // `pathOf` names a frame's file: the saved work is compared by files, so a frame deleted and its file
    // added again counts as the same.
    explicit WorkModel(PathOf pathOf) : m_pathOf(std::move(pathOf)) {}

    // A change from `before` to `after`, named by an untranslated action key ("Move"). Changes with the
    // same non-empty `mergeKey` right after one another join into one step (a run of spin-control
    // changes); a run that comes back where it started leaves no step. A change drops the redo steps.
    void Record(const char* action, const State& before, const State& after, const char* mergeKey = "") {
        Step step = MakeStep(action, before, after, mergeKey);
        if (step.IsEmpty())
            return;
        m_redo.clear();
        if (!m_undo.empty() && *mergeKey && m_undo.back().mergeKey == mergeKey && m_undo.back().splice.IsEmpty() &&
            step.splice.IsEmpty()) {
            Step& last = m_undo.back();
            last.settingsAfter = step.settingsAfter;
            last.selectionAfter = step.selectionAfter;
            if (last.settingsBefore == last.settingsAfter)
                m_undo.pop_back();
            return;
        }
        m_undo.push_back(std::move(step));
    }

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The action key of the step Undo (Redo) would take back (do again); empty when there is none.
    wxString UndoAction() const { return m_undo.empty() ? wxString() : wxString(m_undo.back().action); }
    wxString RedoAction() const { return m_redo.empty() ? wxString() : wxString(m_redo.back().action); }

    // The work before the last step, made from `current`. Nothing, and the whole history forgotten, when
    // `current` is not the work that step left (the frames were changed behind the history's back).
    std::optional<State> Undo(const State& current) { return Travel(current, m_undo, m_redo, false); }
    std::optional<State> Redo(const State& current) { return Travel(current, m_redo, m_undo, true); }

    // Opening a project starts a history of its own.
    void Forget() {
        m_undo.clear();
        m_redo.clear();
    }

    // The unsaved-work test: the saved values under the names the window has always used for them.
    void TakeSnapshot(const State& saved) {
        m_savedDelay = saved.settings.delay;
        m_savedWidth = saved.settings.width;
        m_savedHeight = saved.settings.height;
        m_savedCount = static_cast<int>(saved.frames.size());
        m_savedPaths = Paths(saved.frames);
    }
    bool MatchesSnapshot(const State& current) const {
        return current.settings == WorkSettings{m_savedDelay, m_savedWidth, m_savedHeight} &&
               static_cast<int>(current.frames.size()) == m_savedCount && Paths(current.frames) == m_savedPaths;
    }

    // Frame handles and selection entries held by the history, for measuring what it keeps.
    size_t HeldEntries() const {
        size_t entries = 0;
        for (const auto* steps : {&m_undo, &m_redo})
            for (const Step& step : *steps)
                entries += step.splice.removed.size() + step.splice.inserted.size() + step.selectionBefore.size() +
                           step.selectionAfter.size();
        return entries;
    }

private:
    // The frames that differ between two lists: `removed` from the list before and `inserted` in the list
    // after, both starting at `at`, with what comes before and after them the same.
    struct Splice {
        size_t at = 0;
        std::vector<Frame> removed;
        std::vector<Frame> inserted;
        bool IsEmpty() const { return removed.empty() && inserted.empty(); }
    };

    struct Step {
        const char* action;
        std::string mergeKey;
        Splice splice;
        size_t countBefore = 0;
        WorkSettings settingsBefore, settingsAfter;
        std::vector<int> selectionBefore, selectionAfter;
        bool IsEmpty() const { return splice.IsEmpty() && settingsBefore == settingsAfter; }
    };

    static Step MakeStep(const char* action, const State& before, const State& after, const char* mergeKey) {
        const std::vector<Frame>& a = before.frames;
        const std::vector<Frame>& b = after.frames;
        size_t prefix = 0;
        while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
            ++prefix;
        size_t suffix = 0;
        while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
               a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
            ++suffix;
        Step step{action, mergeKey, {}, a.size(), before.settings, after.settings, before.selection, after.selection};
        step.splice.at = prefix;
        step.splice.removed.assign(a.begin() + prefix, a.end() - suffix);
        step.splice.inserted.assign(b.begin() + prefix, b.end() - suffix);
        return step;
    }

    std::optional<State> Travel(const State& current, std::vector<Step>& from, std::vector<Step>& to, bool forward) {
        if (from.empty())
            return std::nullopt;
        const Step& step = from.back();
        const std::vector<Frame>& present = forward ? step.splice.removed : step.splice.inserted;
        const std::vector<Frame>& restored = forward ? step.splice.inserted : step.splice.removed;
        const std::vector<Frame>& frames = current.frames;
        const size_t expectedCount = forward ? step.countBefore : step.countBefore - step.splice.removed.size() +
                                                                      step.splice.inserted.size();
        if (frames.size() != expectedCount || step.splice.at + present.size() > frames.size() ||
            !std::equal(present.begin(), present.end(), frames.begin() + step.splice.at)) {
            Forget();
            return std::nullopt;
        }
        State result;
        result.frames.reserve(frames.size() - present.size() + restored.size());
        result.frames.insert(result.frames.end(), frames.begin(), frames.begin() + step.splice.at);
        result.frames.insert(result.frames.end(), restored.begin(), restored.end());
        result.frames.insert(result.frames.end(), frames.begin() + step.splice.at + present.size(), frames.end());
        result.settings = forward ? step.settingsAfter : step.settingsBefore;
        result.selection = forward ? step.selectionAfter : step.selectionBefore;
        to.push_back(std::move(from.back()));
        from.pop_back();
        return result;
    }

    std::vector<wxString> Paths(const std::vector<Frame>& frames) const {
        std::vector<wxString> paths;
        paths.reserve(frames.size());
        for (const Frame& frame : frames)
            paths.push_back(m_pathOf(frame));
        return paths;
    }

    PathOf m_pathOf;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    int m_savedDelay = 0;
    int m_savedWidth = 0;
    int m_savedHeight = 0;
    int m_savedCount = 0;
    std::vector<wxString> m_savedPaths;
};
