#include "config/decimal_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "support/example_formats.h"
#include "text/printf_forms.h"

namespace orv {
namespace {

using test::MakeFormat;

const DecimalFormat kAlt1 = MakeFormat("ALT1", 0, 28, 11, 90.0f, "deg");

TEST(RenderDecimalTest, Values) {
    const DecimalFormat speed = MakeFormat("SPD", 1, 29, 11, 1.0f, "m");
    const DecimalFormat volts = MakeFormat("U", 0, 28, 9, 3.3f, "V");
    const DecimalFormat huge = MakeFormat("BIG", 0, 28, 28, 1e30f, "kg");
    const DecimalFormat tiny = MakeFormat("TINY", 0, 28, 28, 1e-20f, "s");
    const DecimalFormat top = MakeFormat("TOP", 0, 32, 32, 1.0f, "x");
    struct Case {
        ArincWord word;
        const DecimalFormat* format;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {0x0C8000C8, &kAlt1, " +1.406250e+002 deg     "},  // 90 + 45 + 5.625
        {0x1FFFF800, &kAlt1, " -1.373291e-003 deg     "},  // two's complement of the field
        {0x100000C8, &kAlt1, " -1.800000e+002 deg     "},  // field all 0: the most negative
        {0x00000400, &kAlt1, " +6.866455e-004 deg     "},  // lowest field bit
        {0x000003FF, &kAlt1, " +0.000000e+000 deg     "},  // bits 1..10 never matter
        {0x28000000, &kAlt1, " +9.000000e+001 deg     "},  // bit 30 is no sign with role 0
        {0x10000400, &kAlt1, " -1.799993e+002 deg     "},  // -1 unit: the largest magnitude
        {0x30000000, &speed, " -1.000000e+000 m       "},  // sign is bit 30, bit 29 is data
        {0x10000000, &speed, " +1.000000e+000 m       "},
        {0x0FFFFF00, &volts, " +6.599993e+000 V       "},  // summed in single precision
        {0x08000000, &huge, " +1.000000e+030 kg      "},
        {0x08000000, &tiny, " +1.000000e-020 s       "},
        {0x80000000, &top, " +1.000000e+000 x       "},
        {0x90000000, &top, " -1.000000e+000 x       "},  // complement at bit 32 wraps
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string got = RenderDecimal(c.word, *c.format);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(got.size(), kDecimalFullWidth);
    }
}

TEST(RenderDecimalTest, NegativeWordWithEmptyFieldKeepsTheCarry) {
    // A word whose sign is set and whose field bits are all 0 is the most negative value of the
    // field: the carry of its two's complement weighs 2 x msbWeight. Its neighbours stay put.
    const DecimalFormat speed = MakeFormat("SPD", 1, 29, 11, 1.0f, "m");
    const DecimalFormat top = MakeFormat("TOP", 0, 32, 32, 1.0f, "x");
    const DecimalFormat big = MakeFormat("BIG", 0, 28, 27, 3e38f, "deg");
    const DecimalFormat nan = MakeFormat("NAN", 0, 28, 11, std::numeric_limits<float>::quiet_NaN(), "m");
    struct Case {
        ArincWord word;
        const DecimalFormat* format;
        const char* expectedUtf8;
    };
    const std::vector<Case> cases = {
        {0x100000C8, &kAlt1, " -1.800000e+002 deg     "},  // -180 deg, as the bus means it
        {0x100003FF, &kAlt1, " -1.800000e+002 deg     "},  // bits below the field never matter
        {0x300000C8, &kAlt1, " -1.800000e+002 deg     "},  // bit 30 is neither sign nor field
        {0x10000400, &kAlt1, " -1.799993e+002 deg     "},  // one unit up: the next value
        {0x1FFFFC00, &kAlt1, " -6.866455e-004 deg     "},  // field all 1: -1 unit
        {0x0FFFFC00, &kAlt1, " +1.799993e+002 deg     "},  // positive, field all 1
        {0x000000C8, &kAlt1, " +0.000000e+000 deg     "},  // positive, field all 0
        {0x20000000, &speed, " -2.000000e+000 m       "},  // "данн": sign is bit 30
        {0x10000000, &speed, " +1.000000e+000 m       "},  // there bit 29 is the field's top
        {0x10000000, &top, " -2.000000e+000 x       "},    // carry out of bit 32
        {0x10000000, &big, " -переполнение  deg     "},    // 2 x 3e38 overflows
        {0x10000000, &nan, " -переполнение  m       "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedUtf8);
        EXPECT_EQ(RenderDecimal(c.word, *c.format), Cp1251(c.expectedUtf8));
    }
    // A field that holds the sign bit is never all 0 in a negative word: no carry.
    const DecimalFormat wide = MakeFormat("WIDE", 0, 29, 11, 1.0f, "u");
    EXPECT_EQ(RenderDecimal(0x10000000, wide), " -1.000000e+000 u       ");
}

TEST(RenderDecimalTest, NoFormatGivesTwentyOneBlanks) {
    DecimalFormat none = kAlt1;
    none.label = Label8(" ALT1");
    for (ArincWord w : {0x0C8000C8u, 0xFFFFFFFFu, 0u}) {
        EXPECT_EQ(RenderDecimal(w, none), std::string(21, ' '));
        EXPECT_EQ(RenderDecimal(w, DecimalFormat::None()), std::string(21, ' '));
    }
}

TEST(RenderDecimalTest, NonFiniteSumShowsOverflowText) {
    EXPECT_EQ(Utf8FromCp1251(kDecimalOverflow), "переполнение");
    const DecimalFormat big = MakeFormat("BIG", 0, 28, 27, 3e38f, "deg");
    const DecimalFormat inf = MakeFormat("INF", 0, 28, 11, std::numeric_limits<float>::infinity(), "m");
    const DecimalFormat nan = MakeFormat("NAN", 0, 28, 11, std::numeric_limits<float>::quiet_NaN(), "m");
    struct Case {
        ArincWord word;
        const DecimalFormat* format;
        const char* expectedUtf8;
    };
    const std::vector<Case> cases = {
        {0x0C000000, &big, " +переполнение  deg     "},
        {0x14000000, &big, " -переполнение  deg     "},  // complement sets both field bits
        {0x08000000, &inf, " +переполнение  m       "},
        {0x18000000, &nan, " -переполнение  m       "},
        {0x00000000, &nan, " +0.000000e+000 m       "},  // no bit read: nothing summed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedUtf8);
        const std::string got = RenderDecimal(c.word, *c.format);
        EXPECT_EQ(got, Cp1251(c.expectedUtf8));
        EXPECT_EQ(got.size(), kDecimalFullWidth);
    }
}

TEST(RenderDecimalTest, NegativeWeightKeepsTheColumns) {
    const DecimalFormat neg = MakeFormat("NEG", 0, 28, 28, -0.5f, "deg");
    EXPECT_EQ(RenderDecimal(0x08000000, neg), " -5.000000e-001 deg     ");
    EXPECT_EQ(RenderDecimal(0x18000000, neg), " +5.000000e-001 deg     ");
    EXPECT_EQ(RenderDecimal(0x10000000, neg), " +1.000000e+000 deg     ");  // carry: -(2 x -0.5)
}

TEST(RenderDecimalTest, DecimalValueIsTheShownNumber) {
    // The number, sign and all, rounded to the seven digits of the text, is the text.
    const DecimalFormat formats[] = {kAlt1, MakeFormat("D", 1, 29, 9, 1.5f, "m"), MakeFormat("NEG", 0, 28, 20, -3.0f, "")};
    uint32_t word = 0x12345678;
    for (int i = 0; i < 3000; ++i) {
        word = word * 1664525u + 1013904223u;
        for (const DecimalFormat& f : formats) {
            const std::string text = RenderDecimal(word, f);
            const float value = DecimalValue(word, f);
            EXPECT_EQ(text.substr(1, 1), std::signbit(value) ? "-" : "+") << text;
            EXPECT_EQ(text.substr(2, 13), FormatExp(std::fabs(double(value)))) << text;
        }
    }
    EXPECT_EQ(DecimalValue(0x0C8000C8, kAlt1), 140.625f);
    EXPECT_EQ(DecimalValue(0x100000C8, kAlt1), -180.0f);
    EXPECT_FALSE(std::isfinite(DecimalValue(0x0C000000, MakeFormat("H", 0, 28, 11, 3e38f, ""))));
}

TEST(RenderDecimalTest, UnitsAreRightAlignedWhenCutByAZeroByte) {
    DecimalFormat f = MakeFormat("A", 0, 28, 28, 1.0f, "");
    f.units.AssignRaw("m\0\0\0");
    EXPECT_EQ(RenderDecimal(0x08000000, f), " +1.000000e+000    m    ");
}

TEST(RenderDecimalTest, OutOfRangeBitNumbersAreSafe) {
    // Records read from a damaged file: bit numbers beyond the word read as zero bits.
    const std::vector<DecimalFormat> formats = {
        MakeFormat("W1", 0, 65535, 0, 1.0f, "u"),
        MakeFormat("W2", 1, 40, 0, 4096.0f, "u"),
        MakeFormat("W3", 0, 9, 28, 1.0f, "u"),  // msb below lsb: nothing summed
        MakeFormat("W4", 0, 0, 0, 1.0f, "u"),
    };
    for (const auto& f : formats) {
        for (ArincWord w : {0u, 0x0FFFFFFFu, 0xFFFFFFFFu, 0x10000001u}) {
            EXPECT_EQ(RenderDecimal(w, f).size(), kDecimalFullWidth);
        }
    }
    EXPECT_EQ(RenderDecimal(0x0FFFFFFF, formats[2]), " +0.000000e+000 u       ");
    // Bits 40..33 do not exist, so bit 32 weighs 4096 / 2^8 = 16.
    EXPECT_EQ(RenderDecimal(0x80000000, formats[1]), " +1.600000e+001 u       ");
}

}  // namespace
}  // namespace orv
