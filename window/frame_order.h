#pragma once
// New orders of the frames for the reordering commands, worked out on indices: the window applies them to
// its strip, and they need no window.

#include <optional>
#include <vector>

namespace frame_order {

struct Arrangement {
    // The new list as indices into the old one; an index met a second time stands for a copy of that frame.
    std::vector<int> order;
    // The indices, in the new list, of the frames selected afterwards.
    std::vector<int> selection;
};

// The selected frames (any order; entries outside 0 ... count - 1 are ignored) gathered as one block in their
// list order and moved `offset` places (negative: earlier). Nothing when nothing is selected or the block
// would pass an end of the list.
std::optional<Arrangement> MoveBy(int count, const std::vector<int>& selection, int offset);

// The selected frames gathered as one block in front of the frame that is at `before` now (count: at the
// end). Nothing when nothing is selected, `before` is outside 0 ... count, or the order would stay the same.
std::optional<Arrangement> MoveBefore(int count, const std::vector<int>& selection, int before);

// Copies of the selected frames, in list order, right after the last of them; the copies are selected.
// Nothing when nothing is selected.
std::optional<Arrangement> Duplicate(int count, const std::vector<int>& selection);

// The selected frames in reverse order in the places they hold, or the whole list when one or none is
// selected; the same frames stay selected. Nothing when the list is empty.
std::optional<Arrangement> Reverse(int count, const std::vector<int>& selection);

}  // namespace frame_order
