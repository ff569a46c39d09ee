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

Frame Make(const std::string& path) { return std::make_shared<const std::string>(path); }

Model NewModel() {
    return Model([](const Frame& frame) { return wxString::FromUTF8(*frame); });
}

std::vector<std::string> Paths(const State& state) {
    std::vector<std::string> paths;
    for (const Frame& frame : state.frames)
        paths.push_back(*frame);
    return paths;
}

// Same frame objects (not just the same files), settings and selection.
void ExpectSame(const State& actual, const State& expected, const std::string& what) {
    EXPECT_EQ(actual.frames, expected.frames) << what;
    EXPECT_TRUE(actual.settings == expected.settings) << what;
    EXPECT_EQ(actual.selection, expected.selection) << what;
}

State Arranged(const State& state, const std::optional<frame_order::Arrangement>& arrangement) {
    State result = state;
    result.frames.clear();
    std::vector<bool> placed(state.frames.size(), false);
    for (int index : arrangement->order) {
        result.frames.push_back(placed[index] ? Make(*state.frames[index]) : state.frames[index]);
        placed[index] = true;
    }
    result.selection = arrangement->selection;
    return result;
}

State Start() { return {{Make("a"), Make("b"), Make("c"), Make("d"), Make("e")}, {10, 40, 30}, {1, 2}}; }

}  // namespace

TEST(FrameOrder, MovesDuplicatesAndReversesTheSelectionAsABlock) {
    using frame_order::Arrangement;
    using Op = std::optional<Arrangement> (*)(int, const std::vector<int>&, int);
    const auto earlier = [](int n, const std::vector<int>& s, int) { return frame_order::MoveBy(n, s, -1); };
    const auto later = [](int n, const std::vector<int>& s, int) { return frame_order::MoveBy(n, s, 1); };
    const auto row = [](int n, const std::vector<int>& s, int by) { return frame_order::MoveBy(n, s, by); };
    const auto before = [](int n, const std::vector<int>& s, int at) { return frame_order::MoveBefore(n, s, at); };
    const auto duplicate = [](int n, const std::vector<int>& s, int) { return frame_order::Duplicate(n, s); };
    const auto reverse = [](int n, const std::vector<int>& s, int) { return frame_order::Reverse(n, s); };
    const struct {
        const char* name;
        Op op;
        int count;
        std::vector<int> selection;
        int argument;
        std::vector<int> order;  // empty: nothing happens
        std::vector<int> selected;
    } cases[] = {
        {"earlier", earlier, 5, {2}, 0, {0, 2, 1, 3, 4}, {1}},
        {"earlier at the start", earlier, 5, {0}, 0, {}, {}},
        {"earlier, block in selection order", earlier, 5, {3, 1}, 0, {1, 3, 0, 2, 4}, {0, 1}},
        {"later", later, 5, {1, 2}, 0, {0, 3, 1, 2, 4}, {2, 3}},
        {"later at the end", later, 5, {2, 4}, 0, {}, {}},
        {"later gathers", later, 5, {0, 2}, 0, {1, 3, 0, 2, 4}, {2, 3}},
        {"a row down", row, 10, {1}, 4, {0, 2, 3, 4, 5, 1, 6, 7, 8, 9}, {5}},
        {"a row down past the end", row, 10, {7}, 4, {}, {}},
        {"a row up", row, 10, {6, 7}, -4, {0, 1, 6, 7, 2, 3, 4, 5, 8, 9}, {2, 3}},
        {"nothing selected", later, 5, {}, 0, {}, {}},
        {"stale entries ignored", later, 3, {7, -1, 0}, 0, {1, 0, 2}, {1}},
        {"dropped before the first", before, 5, {3, 4}, 0, {3, 4, 0, 1, 2}, {0, 1}},
        {"dropped at the end", before, 5, {0, 2}, 5, {1, 3, 4, 0, 2}, {3, 4}},
        {"dropped inside itself", before, 5, {1, 2}, 2, {}, {}},
        {"dropped right after itself", before, 5, {1, 2}, 3, {}, {}},
        {"dropped into a gap of the block", before, 5, {0, 3}, 2, {1, 0, 3, 2, 4}, {1, 2}},
        {"dropped past the end", before, 5, {0}, 6, {}, {}},
        {"duplicate", duplicate, 4, {2, 0}, 0, {0, 1, 2, 0, 2, 3}, {3, 4}},
        {"duplicate nothing", duplicate, 4, {}, 0, {}, {}},
        {"reverse the selected", reverse, 5, {4, 0, 2}, 0, {4, 1, 2, 3, 0}, {0, 2, 4}},
        {"reverse all, one selected", reverse, 4, {1}, 0, {3, 2, 1, 0}, {2}},
        {"reverse all, none selected", reverse, 3, {}, 0, {2, 1, 0}, {}},
        {"reverse an empty list", reverse, 0, {}, 0, {}, {}},
    };
    for (const auto& c : cases) {
        const std::optional<Arrangement> result = c.op(c.count, c.selection, c.argument);
        if (c.order.empty()) {
            EXPECT_FALSE(result) << c.name;
            continue;
        }
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->order, c.order) << c.name;
        EXPECT_EQ(result->selection, c.selected) << c.name;
    }
}

TEST(WorkHistory, EveryChangeUndoneAndDoneAgainGivesTheSameWork) {
    using Change = std::function<State(const State&)>;
    const auto settings = [](int delay, int width, int height) {
        return [=](const State& s) {
            State r = s;
            r.settings = {delay, width, height};
            return r;
        };
    };
    const struct {
        const char* action;
        Change change;
    } cases[] = {
        {"Add", [](const State& s) { State r = s; r.frames.push_back(Make("f")); r.frames.push_back(Make("g"));
                                     r.settings = {10, 64, 48}; return r; }},
        {"Insert", [](const State& s) { State r = s; r.frames.insert(r.frames.begin() + 1, Make("x"));
                                        r.selection = {2, 3}; return r; }},
        {"Delete", [](const State& s) { State r = s; r.frames.erase(r.frames.begin() + 1, r.frames.begin() + 3);
                                        r.selection.clear(); return r; }},
        {"Clear", [](const State& s) { State r = s; r.frames.clear(); r.selection.clear(); r.settings.width = 0;
                                       r.settings.height = 0; return r; }},
        {"Move", [](const State& s) { return Arranged(s, frame_order::MoveBefore(5, s.selection, 5)); }},
        {"Duplicate", [](const State& s) { return Arranged(s, frame_order::Duplicate(5, s.selection)); }},
        {"Reverse", [](const State& s) { return Arranged(s, frame_order::Reverse(5, {})); }},
        {"Delay", settings(25, 40, 30)},
        {"Width", settings(10, 20, 15)},
        {"Height", settings(10, 80, 60)},
    };
    for (const auto& c : cases) {
        Model model = NewModel();
        const State before = Start();
        const State after = c.change(before);
        model.Record(c.action, before, after);
        EXPECT_EQ(model.UndoAction(), c.action);
        EXPECT_FALSE(model.CanRedo()) << c.action;

        const std::optional<State> undone = model.Undo(after);
        ASSERT_TRUE(undone) << c.action;
        ExpectSame(*undone, before, std::string(c.action) + " undone");
        EXPECT_FALSE(model.CanUndo()) << c.action;
        EXPECT_EQ(model.RedoAction(), c.action);

        const std::optional<State> redone = model.Redo(*undone);
        ASSERT_TRUE(redone) << c.action;
        ExpectSame(*redone, after, std::string(c.action) + " redone");
        EXPECT_EQ(model.UndoAction(), c.action);
    }
}

TEST(WorkHistory, StepsTakeBackInTurnAndANewChangeDropsTheRedoSteps) {
    Model model = NewModel();
    const State s0 = Start();
    const State s1 = Arranged(s0, frame_order::MoveBy(5, s0.selection, 1));
    const State s2 = Arranged(s1, frame_order::Reverse(5, s1.selection));
    model.Record("Move", s0, s1);
    model.Record("Reverse", s1, s2);
    const std::optional<State> back1 = model.Undo(s2);
    const std::optional<State> back0 = model.Undo(*back1);
    ASSERT_TRUE(back0);
    ExpectSame(*back0, s0, "two undone");
    EXPECT_FALSE(model.Undo(*back0)) << "nothing left to undo";
    ASSERT_TRUE(model.Redo(*back0));
    EXPECT_EQ(model.RedoAction(), "Reverse");

    State other = s1;
    other.settings.delay = 99;
    model.Record("Delay", s1, other);
    EXPECT_FALSE(model.CanRedo());
    EXPECT_FALSE(model.Redo(other));
    EXPECT_EQ(model.UndoAction(), "Delay");

    model.Record("Move", other, other);  // no change: no step
    EXPECT_EQ(model.UndoAction(), "Delay");
}

TEST(WorkHistory, ARunOfSpinChangesIsOneStepAndARunBackToTheStartIsNone) {
    Model model = NewModel();
    State s = Start();
    const State start = s;
    for (int width : {4, 41, 412}) {
        State next = s;
        next.settings.width = width;
        model.Record("Width", s, next, "width");
        s = next;
    }
    const std::optional<State> undone = model.Undo(s);
    ASSERT_TRUE(undone);
    ExpectSame(*undone, start, "one undo takes the whole run back");
    EXPECT_FALSE(model.CanUndo());

    model.Redo(*undone);
    State delay = s;
    delay.settings.delay = 11;
    model.Record("Delay", s, delay, "delay");
    State back = delay;
    back.settings.delay = s.settings.delay;
    model.Record("Delay", delay, back, "delay");
    EXPECT_EQ(model.UndoAction(), "Width") << "a run that returns to its start leaves no step";
}

TEST(WorkHistory, UndoingBackToTheSavedWorkMakesItSavedAgain) {
    Model model = NewModel();
    const State s0 = Start();
    model.TakeSnapshot(s0);
    EXPECT_TRUE(model.MatchesSnapshot(s0));

    State s1 = s0;
    s1.frames.erase(s1.frames.begin());
    State s2 = s1;
    s2.settings.height = 31;
    model.Record("Delete", s0, s1);
    model.Record("Height", s1, s2);
    EXPECT_FALSE(model.MatchesSnapshot(s2));
    const std::optional<State> undone1 = model.Undo(s2);
    EXPECT_FALSE(model.MatchesSnapshot(*undone1));
    const std::optional<State> undone0 = model.Undo(*undone1);
    EXPECT_TRUE(model.MatchesSnapshot(*undone0));
    EXPECT_FALSE(model.MatchesSnapshot(*model.Redo(*undone0)));

    State sameFiles = s0;
    sameFiles.frames[0] = Make("a");  // the file added again
    sameFiles.selection = {4};        // the selection is no part of the work
    EXPECT_TRUE(model.MatchesSnapshot(sameFiles));
    State otherOrder = s0;
    std::swap(otherOrder.frames[0], otherOrder.frames[1]);
    EXPECT_FALSE(model.MatchesSnapshot(otherOrder));
}

TEST(WorkHistory, FramesChangedBehindItsBackAreRefusedAndTheHistoryForgotten) {
    const struct {
        const char* name;
        std::function<void(State&)> tamper;
    } cases[] = {
        {"a frame removed", [](State& s) { s.frames.pop_back(); }},
        {"all removed", [](State& s) { s.frames.clear(); }},
        {"the added one replaced", [](State& s) { s.frames[5] = Make("f"); }},
        {"one added elsewhere", [](State& s) { s.frames.insert(s.frames.begin(), Make("z")); }},
    };
    for (const auto& c : cases) {
        Model model = NewModel();
        const State s0 = Start();
        State s1 = s0;
        s1.frames.push_back(Make("f"));
        model.Record("Add", s0, s1);
        State tampered = s1;
        c.tamper(tampered);
        EXPECT_FALSE(model.Undo(tampered)) << c.name;
        EXPECT_FALSE(model.CanUndo()) << c.name;
        EXPECT_FALSE(model.CanRedo()) << c.name;
    }
}

TEST(WorkHistory, RemovedFramesLiveByTheHistoryNotByCopiesAndGoWithIt) {
    Model model = NewModel();
    State s0 = Start();
    const std::weak_ptr<const std::string> removed = s0.frames[2];
    State s1 = s0;
    s1.frames.erase(s1.frames.begin() + 2);
    model.Record("Delete", s0, s1);
    s0 = State();
    EXPECT_FALSE(removed.expired());
    {
        const std::optional<State> undone = model.Undo(s1);
        EXPECT_EQ(undone->frames[2], removed.lock()) << "the very frame comes back";
        EXPECT_EQ(Paths(*undone), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
        model.Redo(*undone);
    }
    EXPECT_FALSE(removed.expired()) << "kept for Undo again";
    model.Forget();
    EXPECT_TRUE(removed.expired());

    // A move of one frame keeps only the frames between its two places.
    State big{{}, {10, 1, 1}, {}};
    for (int i = 0; i < 1000; ++i)
        big.frames.push_back(Make(std::to_string(i)));
    model.Record("Move", big, Arranged(big, frame_order::MoveBy(1000, {500}, 1)));
    EXPECT_EQ(model.HeldEntries(), 5u);  // two frames before, two after, one selection entry after
}
