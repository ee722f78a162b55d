// Title pane rules: every line the heads draw, both of its ends, in both reception modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "monitor/title_text.h"

namespace orv {
namespace {

std::vector<PlacedLine> Sorted(std::vector<PlacedLine> lines) {
    std::sort(lines.begin(), lines.end(), [](const PlacedLine& a, const PlacedLine& b) {
        return std::tie(a.x1, a.y1, a.x2, a.y2) < std::tie(b.x1, b.y1, b.x2, b.y2);
    });
    return lines;
}

TEST(TitleRules, ParameterReceptionDrawsEachRuleFromItsHeadDown) {
    const TitleDrawing d = DrawTitle(TitleValues{0, 1, 7, 1000, 1, 0});
    // Rules between whole columns start under the first head row; those between the four code
    // columns start under "код параметра".
    const std::vector<PlacedLine> expected = {
        {0, 16, 756, 16},  {182, 32, 574, 32}, {70, 16, 70, 48},   {119, 16, 119, 48}, {182, 16, 182, 48},
        {273, 32, 273, 48}, {378, 32, 378, 48}, {427, 32, 427, 48}, {574, 16, 574, 48}, {651, 16, 651, 48},
        {756, 16, 756, 48}};
    EXPECT_EQ(Sorted(d.lines), Sorted(expected));
}

TEST(TitleRules, FileReceptionDrawsEachRuleFromItsHeadDown) {
    const TitleDrawing d = DrawTitle(TitleValues{0, 2, 7, 1000, 0, 3});
    const std::vector<PlacedLine> expected = {
        {70, 16, 427, 16},  {182, 32, 427, 32}, {70, 16, 70, 48},   {119, 16, 119, 48},
        {182, 16, 182, 48}, {273, 32, 273, 48}, {378, 32, 378, 48}, {427, 16, 427, 48}};
    EXPECT_EQ(Sorted(d.lines), Sorted(expected));
}

}  // namespace
}  // namespace orv
