// The work's history and the reordering rules: every change undone and done again gives back the same frames,
// settings and selection; the unsaved-work test follows the history back to the saved work.
#include "window/frame_order.h"
#include "window/work_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

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
    // The case, the arrangement, and the order and selection it must give (none: nothing happens).
    const std::tuple<const char*, std::optional<Arrangement>, Indices, Indices> cases[] = {
        {"earlier, gathered", MoveBy(5, {3, 1}, -1), {1, 3, 0, 2, 4}, {0, 1}}, {"past the end", MoveBy(5, {2, 4}, 1), {}, {}},
        {"later, gathered", MoveBy(5, {0, 2}, 1), {1, 3, 0, 2, 4}, {2, 3}}, {"none selected", MoveBy(5, {}, 1), {}, {}},
        {"stale entries ignored", MoveBy(3, {7, -1, 0}, 1), {1, 0, 2}, {1}},
        {"dropped first", MoveBefore(5, {3, 4}, 0), {3, 4, 0, 1, 2}, {0, 1}},
        {"dropped at the end", MoveBefore(5, {0, 2}, 5), {1, 3, 4, 0, 2}, {3, 4}},
        {"dropped into a gap", MoveBefore(5, {0, 3}, 2), {1, 0, 3, 2, 4}, {1, 2}},
        {"dropped after itself", MoveBefore(5, {1, 2}, 3), {}, {}}, {"dropped past the end", MoveBefore(5, {0}, 6), {}, {}},
        {"duplicate", Duplicate(4, {2, 0}), {0, 1, 2, 0, 2, 3}, {3, 4}}, {"reverse nothing", Reverse(0, {}), {}, {}},
        {"reverse the selected", Reverse(5, {4, 0, 2}), {4, 1, 2, 3, 0}, {0, 2, 4}},
        {"reverse all, one selected", Reverse(4, {1}), {3, 2, 1, 0}, {2}}};
    for (const auto& [name, result, order, selected] : cases)
        EXPECT_EQ((result ? std::pair(result->order, result->selection) : std::pair<Indices, Indices>()),
                  std::pair(order, selected)) << name;
}

// The saved work is its files in order and its settings; undoing back to it makes it saved again.
TEST(WorkHistory, EveryChangeUndoneAndDoneAgainGivesTheSameWorkAndUndoneTheSavedWork) {
    const State s = Start();
    const std::tuple<const char*, State, bool> cases[] = {  // the change, the work after it, still the saved work
        {"Add", {{s.frames[0], s.frames[1], s.frames[2], s.frames[3], s.frames[4], Make("f")}, {10, 64, 48}, {1, 2}}, false},
        {"Delete", {{s.frames[0], s.frames[3], s.frames[4]}, s.settings, {}}, false},
        {"Clear", {{}, {10, 0, 0}, {}}, false},
        {"Add again", {{Make("a"), s.frames[1], s.frames[2], s.frames[3], s.frames[4]}, s.settings, {4}}, true},
        {"Move", Arranged(s, frame_order::MoveBefore(5, s.selection, 5)), false},
        {"Duplicate", Arranged(s, frame_order::Duplicate(5, s.selection)), false},
        {"Delay", {s.frames, {25, 40, 30}, s.selection}, false},
        {"Width", {s.frames, {10, 41, 30}, s.selection}, false},
        {"Height", {s.frames, {10, 40, 31}, s.selection}, false}};
    for (const auto& [action, after, saved] : cases) {
        Model model = NewModel();
        model.TakeSnapshot(s);
        model.Record(action, s, after);
        EXPECT_EQ(model.UndoAction(), action);
        EXPECT_EQ(model.MatchesSnapshot(after), saved) << action;
        const std::optional<State> undone = model.Undo(after), redone = undone ? model.Redo(*undone) : undone;
        EXPECT_TRUE(undone && Same(*undone, s) && model.MatchesSnapshot(*undone)) << action;
        EXPECT_TRUE(redone && Same(*redone, after) && !model.CanRedo()) << action;
    }
}

TEST(WorkHistory, ANewChangeDropsTheRedoStepsAndSpinRunsMerge) {
    Model model = NewModel();
    const State s0 = Start(), s1 = Arranged(s0, frame_order::MoveBy(5, s0.selection, 1));
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

    State there = s0;
    there.settings.width = 41;
    model.Record("Width", s0, there, "width");
    model.Record("Width", there, s0, "width");
    model.Record("Move", s0, s0);
    EXPECT_FALSE(model.CanUndo()) << "a run back to its start, and no change, leave no step";
}

TEST(WorkHistory, FramesChangedBehindItsBackAreRefusedAndTheHistoryForgotten) {
    const State s0 = Start();
    State added = s0;
    added.frames.push_back(Make("f"));
    State replaced = added, longer = added;
    replaced.frames[5] = Make("f");  // the same file, another frame
    longer.frames.insert(longer.frames.begin(), Make("z"));
    for (const State& current : {replaced, longer}) {
        Model model = NewModel();
        model.Record("Add", s0, added);
        EXPECT_FALSE(model.Undo(current));
        EXPECT_FALSE(model.CanUndo());
    }
}

TEST(WorkHistory, RemovedFramesLiveByTheHistoryNotByCopies) {
    Model model = NewModel();
    State s0 = Start(), s1 = s0;
    const std::weak_ptr<const std::string> removed = s0.frames[2];
    s1.frames.erase(s1.frames.begin() + 2);
    model.Record("Delete", s0, s1);
    s0 = State();
    EXPECT_EQ(model.Undo(s1)->frames[2], removed.lock()) << "the very frame comes back";
    model.Forget();
    EXPECT_TRUE(removed.expired());
}
