#include "window/frame_order.h"

#include <algorithm>
#include <numeric>

namespace frame_order {

namespace {

std::vector<int> SortedValid(int count, const std::vector<int>& selection) {
    std::vector<int> sorted;
    for (int index : selection)
        if (index >= 0 && index < count)
            sorted.push_back(index);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return sorted;
}

std::vector<int> Identity(int count) {
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// `block` (sorted) taken out and put back together so that its first frame lands at `first` of the new list.
Arrangement Gather(int count, const std::vector<int>& block, int first) {
    std::vector<int> rest;
    for (int index = 0; index < count; ++index)
        if (!std::binary_search(block.begin(), block.end(), index))
            rest.push_back(index);
    Arrangement result;
    result.order.assign(rest.begin(), rest.begin() + first);
    result.order.insert(result.order.end(), block.begin(), block.end());
    result.order.insert(result.order.end(), rest.begin() + first, rest.end());
    for (int i = 0; i < static_cast<int>(block.size()); ++i)
        result.selection.push_back(first + i);
    return result;
}

}  // namespace

std::optional<Arrangement> MoveBy(int count, const std::vector<int>& selection, int offset) {
    const std::vector<int> block = SortedValid(count, selection);
    if (block.empty() || offset == 0)
        return std::nullopt;
    const int size = static_cast<int>(block.size());
    if (offset < 0) {
        if (block.front() + offset < 0)
            return std::nullopt;
        return Gather(count, block, block.front() + offset);
    }
    if (block.back() + offset >= count)
        return std::nullopt;
    return Gather(count, block, block.back() + offset - (size - 1));
}

std::optional<Arrangement> MoveBefore(int count, const std::vector<int>& selection, int before) {
    const std::vector<int> block = SortedValid(count, selection);
    if (block.empty() || before < 0 || before > count)
        return std::nullopt;
    const int ahead = static_cast<int>(std::lower_bound(block.begin(), block.end(), before) - block.begin());
    Arrangement result = Gather(count, block, before - ahead);
    if (result.order == Identity(count))
        return std::nullopt;
    return result;
}

std::optional<Arrangement> Duplicate(int count, const std::vector<int>& selection) {
    const std::vector<int> block = SortedValid(count, selection);
    if (block.empty())
        return std::nullopt;
    const int last = block.back();
    Arrangement result;
    result.order = Identity(last + 1);
    result.order.insert(result.order.end(), block.begin(), block.end());
    for (int index = last + 1; index < count; ++index)
        result.order.push_back(index);
    for (int i = 0; i < static_cast<int>(block.size()); ++i)
        result.selection.push_back(last + 1 + i);
    return result;
}

std::optional<Arrangement> Reverse(int count, const std::vector<int>& selection) {
    if (count <= 0)
        return std::nullopt;
    std::vector<int> block = SortedValid(count, selection);
    Arrangement result;
    result.order = Identity(count);
    if (block.size() <= 1) {
        std::reverse(result.order.begin(), result.order.end());
        for (int index : block)
            result.selection.push_back(count - 1 - index);
        return result;
    }
    const size_t size = block.size();
    for (size_t i = 0; i < size; ++i)
        result.order[block[i]] = block[size - 1 - i];
    result.selection = block;
    return result;
}

}  // namespace frame_order
