#pragma once
// The working copy behind a list box: an ordered list of Windows-1251 lines with the behaviour of
// the Windows list box messages the dialogs rely on (sorted insertion ignoring letter case,
// case-insensitive prefix search, selection that follows deletions as the list box does). The
// widgets mirror it; dialogs decide on it, so their rules are testable without widgets.

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class LineList {
public:
    static constexpr int kNone = -1;

    explicit LineList(bool sorted = false) : sorted_(sorted) {}

    bool Sorted() const { return sorted_; }
    int Count() const { return int(lines_.size()); }
    const std::string& At(int index) const { return lines_.at(std::size_t(index)); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Adds a line: at its sorted place (after equal lines) in a sorted list, else at the end.
    // Returns its index. As with Insert, a selected line stays selected (its index moves down
    // when the new line goes in at or above it).
    int Add(std::string line);
    // Adds every line as Add would, one after another in their order, in n log n: the list ends
    // as those Adds would leave it (lines and selection).
    void AddAll(std::vector<std::string> lines);
    // Inserts at `index` (kNone or any index out of range: at the end), never sorting. Returns
    // the index.
    int Insert(int index, std::string line);
    // Replaces the text of one line in place (an unsorted list's edit); the selection stays.
    // Out-of-range indexes are ignored, here and in Delete.
    void Replace(int index, std::string line);
    // Removes one line; the selection is cleared if it was that line, and moves up if below.
    void Delete(int index);
    void Clear();
    // Index of the first line, searching from after `start` and wrapping, that begins with
    // `prefix` ignoring letter case; kNone if there is none.
    int FindPrefix(std::string_view prefix, int start = kNone) const;

    int Selection() const { return selection_; }
    void Select(int index) { selection_ = (index >= 0 && index < Count()) ? index : kNone; }

private:
    bool sorted_;
    std::vector<std::string> lines_;
    int selection_ = kNone;
};

}  // namespace orv
