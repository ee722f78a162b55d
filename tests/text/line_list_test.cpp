#include "text/line_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/code_page.h"

namespace orv {
namespace {

std::vector<std::string> Cp(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8) out.push_back(Cp1251(s));
    return out;
}

TEST(LineListTest, SortedAddPlacesEqualLinesAfterEachOther) {
    LineList list(true);
    EXPECT_EQ(list.Add("beta"), 0);
    EXPECT_EQ(list.Add("Alpha"), 0);
    EXPECT_EQ(list.Add("alpha"), 1);
    EXPECT_EQ(list.Add("ALPHA"), 2);
    EXPECT_EQ(list.Add("alp"), 0);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"alp", "Alpha", "alpha", "ALPHA", "beta"}));
}

TEST(LineListTest, SortedAddOrdersCyrillicIgnoringCase) {
    LineList list(true);
    for (const auto& line : Cp({"жук", "Ёлка", "Ель", "еж", "АБВ", "ёж", "zeta", "Б"})) list.Add(line);
    EXPECT_EQ(list.Lines(), Cp({"zeta", "АБВ", "Б", "еж", "Ель", "ёж", "Ёлка", "жук"}));
}

TEST(LineListTest, UnsortedAddAndInsert) {
    LineList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("a"), 1);
    EXPECT_EQ(list.Insert(0, "c"), 0);
    EXPECT_EQ(list.Insert(LineList::kNone, "d"), 3);
    EXPECT_EQ(list.Insert(99, "e"), 4);
    list.Replace(1, "B");
    list.Replace(7, "ignored");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"c", "B", "a", "d", "e"}));
}

TEST(LineListTest, FindPrefixSearchesAfterStartAndWraps) {
    LineList list;
    for (const auto& line : Cp({"ALT1    x", "alt2", "BETA", "alt1x", "ЁЖИК"})) list.Add(line);
    struct Case {
        const char* prefix;
        int start;
        int expected;
    };
    const std::vector<Case> cases = {
        {"alt1", LineList::kNone, 0}, {"alt1", 0, 3},  {"alt1", 3, 0},   {"Alt1", 2, 3},
        {"beta", 2, 2},               {"ёж", 0, 4},    {"ЕЖ", 0, -1},    {"gamma", -1, -1},
        {"alt1", 99, 0},              {"alt1", -5, 0}, {"", 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.prefix) + " after " + std::to_string(c.start));
        EXPECT_EQ(list.FindPrefix(Cp1251(c.prefix), c.start), c.expected);
    }
    EXPECT_EQ(LineList().FindPrefix("a"), LineList::kNone);
}

TEST(LineListTest, SelectionFollowsDeletionAndInsertion) {
    struct Case {
        int selected;
        int deleted;
        int expected;
    };
    const std::vector<Case> cases = {
        {2, 2, LineList::kNone},  // the selected line goes
        {2, 0, 1},                // a line above goes: the selection moves up
        {1, 3, 1},                // a line below goes
        {3, 3, LineList::kNone},  // the last line, selected
        {LineList::kNone, 0, LineList::kNone},
        {2, 4, 2},                // out of range: nothing happens
        {2, -1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.selected) + " delete " + std::to_string(c.deleted));
        LineList list;
        for (const char* s : {"a", "b", "c", "d"}) list.Add(s);
        list.Select(c.selected);
        const std::string kept = c.selected >= 0 ? list.At(c.selected) : "";
        list.Delete(c.deleted);
        EXPECT_EQ(list.Selection(), c.expected);
        if (c.expected >= 0) {
            EXPECT_EQ(list.At(c.expected), kept);
        }
        EXPECT_EQ(list.Count(), c.deleted >= 0 && c.deleted < 4 ? 3 : 4);
    }

    LineList sorted(true);
    for (const char* s : {"b", "d"}) sorted.Add(s);
    sorted.Select(1);
    sorted.Add("a");  // above the selection
    EXPECT_EQ(sorted.Selection(), 2);
    sorted.Add("e");  // below it
    EXPECT_EQ(sorted.Selection(), 2);
    EXPECT_EQ(sorted.At(sorted.Selection()), "d");
    sorted.Select(7);
    EXPECT_EQ(sorted.Selection(), LineList::kNone);
    sorted.Select(0);
    sorted.Clear();
    EXPECT_EQ(sorted.Selection(), LineList::kNone);
    EXPECT_EQ(sorted.Count(), 0);
}

// Adding many lines at once leaves the lines and the selection that adding them one by one does,
// over a list that already has lines (equal ones among them, in other letter cases) and a selection.
TEST(LineListTest, AddAllEndsAsAddingOneByOne) {
    std::mt19937 rng(5);
    const std::vector<std::string> words = Cp({"a", "A", "b", "ё", "Ё", "е", "Е", "ж", "ab", "AB", "Ab", ""});
    for (int round = 0; round < 500; ++round) {
        for (const bool sorted : {true, false}) {
            LineList one(sorted), all(sorted);
            for (std::size_t i = rng() % 6; i > 0; --i) {
                const std::string line = words[rng() % words.size()] + std::to_string(rng() % 2);
                one.Add(line);
                all.Add(line);
            }
            const int selected = one.Count() ? int(rng() % (one.Count() + 1)) - 1 : LineList::kNone;
            one.Select(selected);
            all.Select(selected);
            std::vector<std::string> more;
            for (std::size_t i = rng() % 10; i > 0; --i) more.push_back(words[rng() % words.size()] + std::to_string(rng() % 2));
            for (const std::string& line : more) one.Add(line);
            all.AddAll(more);
            ASSERT_EQ(all.Lines(), one.Lines()) << round;
            ASSERT_EQ(all.Selection(), one.Selection()) << round;
        }
    }
}

}  // namespace
}  // namespace orv
