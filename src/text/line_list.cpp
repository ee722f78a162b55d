#include "text/line_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "text/code_page.h"

namespace orv {

int LineList::Add(std::string line) {
    if (!sorted_) return Insert(kNone, std::move(line));
    // After every line that compares equal, as the sorted list box places a new string.
    const auto pos = std::upper_bound(lines_.begin(), lines_.end(), line,
                                      [](const std::string& a, const std::string& b) {
                                          return CompareNoCase1251(a, b) < 0;
                                      });
    return Insert(int(pos - lines_.begin()), std::move(line));
}

void LineList::AddAll(std::vector<std::string> lines) {
    if (!sorted_) {
        lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
        return;
    }
    const auto less = [](const std::string& a, const std::string& b) { return CompareNoCase1251(a, b) < 0; };
    // Each Add goes after every line that compares equal, the earlier added ones included: a
    // stable sort of the new lines, merged after the equal lines already there.
    std::stable_sort(lines.begin(), lines.end(), less);
    // An Add moves the selection down when its line goes in above the selected one, that is when
    // the new line sorts before it.
    if (selection_ != kNone) {
        const std::string& selected = lines_[std::size_t(selection_)];
        selection_ += int(std::lower_bound(lines.begin(), lines.end(), selected, less) - lines.begin());
    }
    std::vector<std::string> merged;
    merged.reserve(lines_.size() + lines.size());
    std::merge(std::make_move_iterator(lines_.begin()), std::make_move_iterator(lines_.end()),
               std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()), std::back_inserter(merged),
               less);
    lines_ = std::move(merged);
}

int LineList::Insert(int index, std::string line) {
    if (index < 0 || index > Count()) index = Count();
    lines_.insert(lines_.begin() + index, std::move(line));
    // The selected line stays selected: it moves down when a line goes in above or at it.
    if (selection_ != kNone && index <= selection_) ++selection_;
    return index;
}

void LineList::Replace(int index, std::string line) {
    if (index < 0 || index >= Count()) return;
    lines_[std::size_t(index)] = std::move(line);
}

void LineList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    lines_.erase(lines_.begin() + index);
    if (selection_ == index) selection_ = kNone;
    else if (selection_ > index) --selection_;
}

void LineList::Clear() {
    lines_.clear();
    selection_ = kNone;
}

int LineList::FindPrefix(std::string_view prefix, int start) const {
    const int n = Count();
    if (n == 0) return kNone;
    if (start < 0 || start >= n) start = kNone;
    // From the line after `start` to the end, then from the top up to `start` itself.
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        if (StartsWithNoCase1251(lines_[std::size_t(i)], prefix)) return i;
    }
    return kNone;
}

}  // namespace orv
