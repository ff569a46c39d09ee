// The work's history and the reordering rules: every change undone and done again gives back the same frames,
// settings and selection; the unsaved-work test follows the history back to the saved work.
#include "window/frame_order.h"
#include "window/work_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Frame = std::shared_ptr<const std::string>;
using Model = WorkModel<Frame>;
using State = Model::State;
using Indices = std::vector<int>;

Frame Make(const std::string& path) { return std::make_shared<const std::string>(path); }
Model NewModel() { return Model([](const Frame& frame) { return wxString::FromUTF8(*frame); }); }
State Start() { return {{Make("a"), Make("b"), Make("c"), Make("d"), Make("e")}, {10, 40, 30}, {1, 2}}; }

// Applied as the window applies it: a repeated index is a new copy of that frame.
State Arranged(const State& state, const std::optional<frame_order::Arrangement>& arrangement) {
    State result{{}, state.settings, arrangement->selection};
    std::vector<bool> placed(state.frames.size(), false);
    for (int index : arrangement->order) {
        result.frames.push_back(placed[index] ? Make(*state.frames[index]) : state.frames[index]);
        placed[index] = true;
    }
    return result;
}

// The same frame objects, not only the same files.
bool Same(const State& a, const State& b) {
    return a.frames == b.frames && a.settings == b.settings && a.selection == b.selection;
}

}  // namespace

TEST(FrameOrder, MovesDuplicatesAndReversesTheSelectionAsABlock) {
    using namespace frame_order;
    const struct {
        const char* name;
        std::optional<Arrangement> result;
        Indices order;  // empty: nothing happens
        Indices selected;
    } cases[] = {
        {"earlier", MoveBy(5, {2}, -1), {0, 2, 1, 3, 4}, {1}},     {"later at the end", MoveBy(5, {2, 4}, 1), {}, {}},
        {"earlier, gathered in list order", MoveBy(5, {3, 1}, -1), {1, 3, 0, 2, 4}, {0, 1}},
        {"later gathers", MoveBy(5, {0, 2}, 1), {1, 3, 0, 2, 4}, {2, 3}}, {"nothing selected", MoveBy(5, {}, 1), {}, {}},
        {"a row down", MoveBy(10, {1}, 4), {0, 2, 3, 4, 5, 1, 6, 7, 8, 9}, {5}},
        {"stale entries ignored", MoveBy(3, {7, -1, 0}, 1), {1, 0, 2}, {1}},
        {"dropped before the first", MoveBefore(5, {3, 4}, 0), {3, 4, 0, 1, 2}, {0, 1}},
        {"dropped at the end", MoveBefore(5, {0, 2}, 5), {1, 3, 4, 0, 2}, {3, 4}},
        {"dropped right after itself", MoveBefore(5, {1, 2}, 3), {}, {}},
        {"dropped into a gap of the block", MoveBefore(5, {0, 3}, 2), {1, 0, 3, 2, 4}, {1, 2}},
        {"dropped past the end", MoveBefore(5, {0}, 6), {}, {}}, {"reverse an empty list", Reverse(0, {}), {}, {}},
        {"duplicate", Duplicate(4, {2, 0}), {0, 1, 2, 0, 2, 3}, {3, 4}},
        {"reverse the selected", Reverse(5, {4, 0, 2}), {4, 1, 2, 3, 0}, {0, 2, 4}},
        {"reverse all, one selected", Reverse(4, {1}), {3, 2, 1, 0}, {2}}};
    for (const auto& c : cases) {
        ASSERT_EQ(c.result.has_value(), !c.order.empty()) << c.name;
        EXPECT_TRUE(!c.result || (c.result->order == c.order && c.result->selection == c.selected)) << c.name;
    }
}

TEST(WorkHistory, EveryChangeUndoneAndDoneAgainGivesTheSameWork) {
    const State s = Start();
    const std::pair<const char*, State> cases[] = {
        {"Add", {{s.frames[0], s.frames[1], s.frames[2], s.frames[3], s.frames[4], Make("f")}, {10, 64, 48}, {1, 2}}},
        {"Insert", {{s.frames[0], Make("x"), s.frames[1], s.frames[2], s.frames[3], s.frames[4]}, s.settings, {2, 3}}},
        {"Delete", {{s.frames[0], s.frames[3], s.frames[4]}, s.settings, {}}},
        {"Clear", {{}, {10, 0, 0}, {}}},
        {"Move", Arranged(s, frame_order::MoveBefore(5, s.selection, 5))},
        {"Duplicate", Arranged(s, frame_order::Duplicate(5, s.selection))},
        {"Reverse", Arranged(s, frame_order::Reverse(5, {}))},
        {"Delay", {s.frames, {25, 40, 30}, s.selection}},
        {"Width", {s.frames, {10, 20, 15}, s.selection}}};
    for (const auto& [action, after] : cases) {
        Model model = NewModel();
        model.Record(action, s, after);
        EXPECT_EQ(model.UndoAction(), action);
        const std::optional<State> undone = model.Undo(after);
        ASSERT_TRUE(undone && Same(*undone, s)) << action;
        EXPECT_EQ(model.RedoAction(), action);
        const std::optional<State> redone = model.Redo(*undone);
        ASSERT_TRUE(redone && Same(*redone, after)) << action;
        EXPECT_FALSE(model.CanRedo()) << action;
    }
}

TEST(WorkHistory, ANewChangeDropsTheRedoStepsAndSpinRunsMerge) {
    Model model = NewModel();
    const State s0 = Start();
    const State s1 = Arranged(s0, frame_order::MoveBy(5, s0.selection, 1));
    model.Record("Move", s0, s1);
    State delay = *model.Undo(s1);
    for (int value : {1, 12, 123}) {  // typed digit by digit: one step
        State next = delay;
        next.settings.delay = value;
        model.Record("Delay", delay, next, "delay");
        delay = next;
    }
    EXPECT_FALSE(model.CanRedo()) << "the move can no longer be done again";
    EXPECT_TRUE(Same(*model.Undo(delay), s0)) << "one undo takes the whole run back";
    EXPECT_FALSE(model.CanUndo());

    State there = s0;
    there.settings.width = 41;
    model.Record("Width", s0, there, "width");
    model.Record("Width", there, s0, "width");
    model.Record("Move", s0, s0);
    EXPECT_FALSE(model.CanUndo()) << "a run back to its start, and no change, leave no step";
}

// The saved work is its files in order and its settings; undoing back to it makes it saved again.
TEST(WorkHistory, TheSavedWorkIsItsFilesInOrderAndItsSettings) {
    const std::pair<std::function<void(State&)>, bool> changes[] = {
        {[](State& s) { s.frames[0] = Make("a"), s.selection = {4}; }, true},  // the file added again; selected
        {[](State& s) { std::swap(s.frames[0], s.frames[1]); }, false},      {[](State& s) { s.frames.pop_back(); }, false},
        {[](State& s) { s.settings.delay = 11; }, false},                    {[](State& s) { s.settings.width = 41; }, false},
        {[](State& s) { s.settings.height = 31; }, false}};
    for (const auto& [change, saved] : changes) {
        Model model = NewModel();
        const State s0 = Start();
        model.TakeSnapshot(s0);
        State changed = s0;
        change(changed);
        model.Record("Change", s0, changed);
        EXPECT_EQ(model.MatchesSnapshot(changed), saved);
        EXPECT_TRUE(model.MatchesSnapshot(*model.Undo(changed)));
    }
}

TEST(WorkHistory, FramesChangedBehindItsBackAreRefusedAndTheHistoryForgotten) {
    const std::function<void(State&)> tampering[] = {[](State& s) { s.frames[5] = Make("f"); },
                                                     [](State& s) { s.frames.insert(s.frames.begin(), Make("z")); }};
    for (const auto& tamper : tampering) {
        Model model = NewModel();
        State s1 = Start();
        s1.frames.push_back(Make("f"));
        model.Record("Add", Start(), s1);
        tamper(s1);
        EXPECT_FALSE(model.Undo(s1));
        EXPECT_FALSE(model.CanUndo() || model.CanRedo());
    }
}

TEST(WorkHistory, RemovedFramesLiveByTheHistoryNotByCopies) {
    Model model = NewModel();
    State s0 = Start();
    const std::weak_ptr<const std::string> removed = s0.frames[2];
    State s1 = s0;
    s1.frames.erase(s1.frames.begin() + 2);
    model.Record("Delete", s0, s1);
    s0 = State();
    EXPECT_EQ(model.Undo(s1)->frames[2], removed.lock()) << "the very frame comes back";
    model.Forget();
    EXPECT_TRUE(removed.expired());
}
