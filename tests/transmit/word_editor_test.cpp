// The word editor's validation into CurrentEntry, the code check, the pause length and the code
// change.
#include <gtest/gtest.h>

#include "resources/transmit_strings.h"
#include "transmit/frame_line.h"
#include "transmit/word_editor.h"
#include "transmit_fixture.h"
#include "config/format_line.h"

namespace orv {
namespace {


LineList Formats() {
    LineList list(true);
    DecimalFormat spd = test::Alt1Format();
    spd.label.Assign("SPD");
    list.Add(RenderFormatLine(spd));
    list.Add(RenderFormatLine(test::Alt1Format()));
    return list;
}

WordEditorOutcome Apply(const char* address, const char* label, const char* code, const char* format,
                        FrameEntry& current) {
    return ApplyWordEditor({address, label, code, format}, Formats(), current);
}

TEST(WordEditor, ComposesTheWordAndDropsTheTopBitOfTheCode) {
    FrameEntry current;
    current.pause = 3;
    ASSERT_TRUE(Apply("377", "ALT", "123456", "", current).ok());
    EXPECT_EQ(current.word, 0x123456FFu);
    EXPECT_EQ(current.address, 255);
    EXPECT_EQ(current.pause, 0);
    EXPECT_EQ(current.paramLabel.View(), "ALT     ");
    EXPECT_EQ(current.formatLabel.View(), "        ");

    ASSERT_TRUE(Apply(" 377 ", "ALT", " 923456 ", "        ", current).ok());
    EXPECT_EQ(current.word, 0x123456FFu);
    ASSERT_TRUE(Apply("0", "ALT", "1", "", current).ok());
    EXPECT_EQ(current.word, 0x100u);
}

TEST(WordEditor, RefusalsComeInFieldOrderAndKeepEarlierFields) {
    FrameEntry current;
    EXPECT_STREQ(Apply("400", "", "", "", current).error, text::kBadAddress);
    EXPECT_STREQ(Apply("  ", "A", "1", "", current).error, text::kBadAddress);
    EXPECT_STREQ(Apply("-1", "A", "1", "", current).error, text::kBadAddress);
    EXPECT_STREQ(Apply("x", "A", "1", "", current).error, text::kBadAddress);

    EXPECT_STREQ(Apply("12", "  ", "", "", current).error, text::kBadLabel);
    EXPECT_EQ(current.address, 012);  // stored before the label failed

    EXPECT_STREQ(Apply("13", "LBL", " ", "", current).error, text::kBadCode);
    EXPECT_EQ(current.paramLabel.View(), "LBL     ");
    EXPECT_STREQ(Apply("13", "LBL", "zz", "", current).error, text::kBadCode);
    EXPECT_STREQ(Apply("13", "LBL", "-1", "", current).error, text::kBadCode);
}

TEST(WordEditor, FormatFromTheListOrReportedMissing) {
    FrameEntry current;
    auto out = Apply("310", "ALT1", "0c8000", "ALT1    ", current);
    ASSERT_TRUE(out.ok());
    EXPECT_FALSE(out.formatMissing);
    EXPECT_EQ(out.formatLine, 0);  // sorted: ALT1 before SPD
    EXPECT_EQ(current.format, test::Alt1Format());
    EXPECT_EQ(current.formatLabel.View(), "ALT1    ");

    // A label the list does not have: reported, and the word still accepted, without a format
    // (not with an all-zero one, whose DECIMAL would read "+0.000000e+000"): its line is that of a
    // word with a blank format label.
    out = Apply("310", "ALT1", "0c8000", "GONE    ", current);
    EXPECT_TRUE(out.ok());
    EXPECT_TRUE(out.formatMissing);
    EXPECT_EQ(current.word, 0x0C8000C8u);
    EXPECT_TRUE(current.formatLabel.IsBlank());
    EXPECT_TRUE(current.format.IsNone());
    FrameEntry blank;
    ASSERT_TRUE(Apply("310", "ALT1", "0c8000", "", blank).ok());
    EXPECT_EQ(RenderFrameLine(current), RenderFrameLine(blank));
    EXPECT_EQ(RenderFrameLine(current).size(), kFrameNoFormatLineLength);
    EXPECT_EQ(RenderFrameLine(current).find("e+0"), std::string::npos);
}

TEST(WordEditor, CodeCheckShowsMAndDecimal) {
    const LineList formats = Formats();
    auto v = CheckCodeWithList("1", "", formats);
    EXPECT_EQ(v.m, "00");
    EXPECT_EQ(v.decimal, " ");
    EXPECT_EQ(CheckCodeWithList("200000", "        ", formats).m, "01");
    EXPECT_EQ(CheckCodeWithList("600000", "", formats).m, "11");

    v = CheckCodeWithList("0c8000", "ALT1    ", formats);
    EXPECT_EQ(v.decimal, " +1.406250e+002 deg     ");
    EXPECT_EQ(v.formatLine, 0);
    v = CheckCodeWithList("0c8000", "NONE    ", formats);
    EXPECT_STREQ(v.error, text::kFormatMissing);
    EXPECT_FALSE(v.decimal.has_value());  // DECIMAL keeps its text
    EXPECT_EQ(v.m, "00");

    // The code change uses the format parsed from the line, no list.
    EXPECT_EQ(CheckCodeWithFormat("0c8000", "ALT1    ", test::Alt1Format()).decimal, " +1.406250e+002 deg     ");
    EXPECT_EQ(CheckCodeWithFormat("0c8000", "        ", test::Alt1Format()).decimal, " ");
}

TEST(PauseLength, ZeroTo255Accepted) {
    EXPECT_EQ(ReadPauseLength("255"), 255);
    EXPECT_EQ(ReadPauseLength("0"), 0);
    EXPECT_EQ(ReadPauseLength(" 1"), 1);
    EXPECT_FALSE(ReadPauseLength("256"));
    EXPECT_FALSE(ReadPauseLength("-1"));
    EXPECT_FALSE(ReadPauseLength(""));
    EXPECT_FALSE(ReadPauseLength("abc"));
}

TEST(CodeChange, UsesTheAddressOfTheParsedLine) {
    FrameEntry current;
    current.address = 0310;
    current.word = 0x12345;
    EXPECT_STREQ(ApplyCodeChange("  ", current), text::kBadCode);
    EXPECT_EQ(current.word, 0x12345u);
    EXPECT_EQ(ApplyCodeChange("ABC", current), nullptr);
    EXPECT_EQ(current.word, 0xABCC8u);
    EXPECT_EQ(ApplyCodeChange("FFFFFF", current), nullptr);
    EXPECT_EQ(current.word, 0x7FFFFFC8u);
}

}  // namespace
}  // namespace orv
