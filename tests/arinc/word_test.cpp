#include "arinc/word.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "text/printf_forms.h"

namespace orv {
namespace {

TEST(WordFieldsTest, TextForms) {
    struct Case {
        ArincWord word;
        const char* hex;
        const char* octal;
        const char* label;
        const char* m;
        const char* code;
    };
    const std::vector<Case> cases = {
        {0x12345678, "0x12345678", "002215053170", "170", "00", "123456"},
        {0xE0000000, "0xe0000000", "034000000000", "000", "11", "e00000"},
        {0x20000000, "0x20000000", "004000000000", "000", "01", "200000"},
        {0x40000000, "0x40000000", "010000000000", "000", "10", "400000"},
        {0x00000000, "0x00000000", "000000000000", "000", "00", "0"},
        {0xFFFFFFFF, "0xffffffff", "037777777777", "377", "11", "ffffff"},
        {0x7FFFFF05, "0x7fffff05", "017777777405", "005", "11", "7fffff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(RenderHex(c.word), c.hex);
        EXPECT_EQ(RenderOctal(c.word), c.octal);
        EXPECT_EQ(RenderAddress(WordLabel(c.word)), c.label);
        EXPECT_EQ(RenderM(c.word), c.m);
        EXPECT_EQ(FormatHex(WordCode(c.word)), c.code);
    }
}

TEST(WordFieldsTest, SdiAndDataFieldAreBits9To10And11To29) {
    EXPECT_EQ(WordSdi(0xFFFFFEFF), 2u);
    EXPECT_EQ(WordSdi(0x00000100), 1u);
    EXPECT_EQ(WordData(0xE48D15C8), 0x12345u);  // bit 30 and above, SDI and label left out
    EXPECT_EQ(WordData(0xFFFFFFFF), 0x7FFFFu);
    EXPECT_EQ(WordData(0x000003FF), 0u);
}

TEST(WordFieldsTest, ComposeClearsBit32) {
    EXPECT_EQ(ComposeWord(0xFFFFFF, 0377), 0x7FFFFFFFu);
    EXPECT_EQ(ComposeWord(0x123456, 0x78), 0x12345678u);
    EXPECT_EQ(ComposeWord(0x800000, 0), 0u);
    EXPECT_EQ(ComposeWord(0, 0310), 0xC8u);
    EXPECT_EQ(RenderM(ComposeWord(0x600000, 0)), "11");
}

}  // namespace
}  // namespace orv
