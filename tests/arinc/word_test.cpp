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

DecimalFormat MakeFormat(std::string_view label, uint8_t role, uint16_t msb, uint16_t lsb, float weight,
                         std::string_view units) {
    DecimalFormat f;
    f.label = Label8(label);
    f.bit29Role = role;
    f.msbBit = msb;
    f.lsbBit = lsb;
    f.msbWeight = weight;
    f.units = Units4(units);
    return f;
}

const DecimalFormat kAlt1 = MakeFormat("ALT1", 0, 28, 11, 90.0f, "deg");

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

TEST(FormatLineTest, ExampleLineAndRoundTrip) {
    const std::string line = RenderFormatLine(kAlt1);
    EXPECT_EQ(line, Cp1251("ALT1      знак      28          11        deg        90.000000"));
    EXPECT_EQ(line.size(), 62u);
    EXPECT_EQ(ParseFormatLine(line), kAlt1);

    const DecimalFormat speed = MakeFormat("SPD", 1, 29, 9, 0.5f, "m");
    const std::string speedLine = RenderFormatLine(speed);
    EXPECT_EQ(speedLine, Cp1251("SPD       данн      29          09        m          0.500000"));
    EXPECT_EQ(ParseFormatLine(speedLine), speed);

    const DecimalFormat negative = MakeFormat("Neg", 0, 12, 10, -1234.5f, "km/h");
    EXPECT_EQ(ParseFormatLine(RenderFormatLine(negative)), negative);
}

TEST(FormatLineTest, WeightTravelsRoundedToSixDecimals) {
    struct Case {
        float weight;
        const char* text;
        float parsed;
    };
    const std::vector<Case> cases = {
        {0.1234567f, "0.123457", 0.123457f},
        {0.0000001f, "0.000000", 0.0f},
        {0.0000005f, "0.000000", 0.0f},  // 0.0000005f lies just below one half
        {-0.5f, "-0.500000", -0.5f},
        {5.625f, "5.625000", 5.625f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const DecimalFormat f = MakeFormat("W", 0, 28, 11, c.weight, "deg");
        const std::string line = RenderFormatLine(f);
        EXPECT_EQ(line.substr(53), c.text);
        EXPECT_EQ(ParseFormatLine(line).msbWeight, c.parsed);
    }
}

TEST(ParamLineTest, ExampleLineAndRoundTrip) {
    ParamRecord p;
    p.paramLabel = Label8("ALT1");
    p.address = 0310;
    p.formatLabel = Label8("ALT1");
    const std::string line = RenderParamLine(p);
    EXPECT_EQ(line, "ALT1           310      ALT1    ");
    EXPECT_EQ(line.size(), 32u);
    EXPECT_EQ(ParseParamLine(line), p);

    ParamRecord none;
    none.paramLabel = Label8(Cp1251("Высота"));
    none.address = 7;
    const std::string noneLine = RenderParamLine(none);
    EXPECT_EQ(noneLine, Cp1251("Высота         007              "));
    const ParamRecord back = ParseParamLine(noneLine);
    EXPECT_EQ(back, none);
    EXPECT_TRUE(back.formatLabel.IsBlank());
}

TEST(DisplayLineTest, BothChannelFormsAndRoundTrip) {
    DisplayLineRecord r;
    r.paramLabel = Label8("ALT1");
    r.channel = 3;
    r.address = 0310;
    r.formatLabel = Label8("ALT1");
    const std::string record = RenderDisplayLine(r, ChannelForm::ZeroPadded);
    const std::string table = RenderDisplayLine(r, ChannelForm::BlankPadded);
    EXPECT_EQ(record, "ALT1           03        310       ALT1    ");
    EXPECT_EQ(table, "ALT1            3        310       ALT1    ");
    EXPECT_EQ(record.size(), 43u);
    EXPECT_EQ(table.size(), 43u);
    EXPECT_EQ(ParseDisplayLine(record), r);
    EXPECT_EQ(ParseDisplayLine(table), r);

    r.channel = 8;
    r.address = 0377;
    r.formatLabel.Clear();
    EXPECT_EQ(ParseDisplayLine(RenderDisplayLine(r)), r);
}

TEST(LineParseTest, ShortLinesGiveBlankAndZeroFields) {
    const std::string format = RenderFormatLine(kAlt1);
    for (std::size_t n = 0; n <= format.size(); ++n) {
        SCOPED_TRACE(n);
        const std::string_view cut = std::string_view(format).substr(0, n);
        const DecimalFormat f = ParseFormatLine(cut);
        EXPECT_EQ(f.label, Label8(cut.substr(0, 8)));
        EXPECT_EQ(f.msbBit, n < 21 ? 0 : n == 21 ? 2 : 28);
        EXPECT_EQ(f.lsbBit, n < 33 ? 0 : n == 33 ? 1 : 11);
        if (n <= 42) {
            EXPECT_TRUE(f.units.Trimmed().empty());
        }
        if (n <= 53) {
            EXPECT_EQ(f.msbWeight, 0.0f);
        }
    }
    const std::string display = "ALT1           03        310       ALT1    ";
    for (std::size_t n = 0; n <= display.size(); ++n) {
        SCOPED_TRACE(n);
        const DisplayLineRecord r = ParseDisplayLine(std::string_view(display).substr(0, n));
        EXPECT_EQ(r.channel, n < 17 ? 0 : 3);
        EXPECT_EQ(r.address, n <= 25 ? 0 : n == 26 ? 3 : n == 27 ? 031 : 0310);
        if (n <= 35) {
            EXPECT_TRUE(r.formatLabel.IsBlank());
        }
    }
    const ParamRecord p = ParseParamLine("ALT1");
    EXPECT_EQ(p.paramLabel, Label8("ALT1"));
    EXPECT_EQ(p.address, 0);
    EXPECT_TRUE(p.formatLabel.IsBlank());
}

TEST(ColumnHeadTest, HeadsAreTheWindows1251Texts) {
    struct Case {
        const char* head;
        const char* utf8;
    };
    const std::vector<Case> cases = {
        {kFormatLineHead1, "Метка     29-й   № старшего  № младшего  единицы    цена ст."},
        {kFormatLineHead2, "формата   бит    разряда     разряда     измерения  разряда"},
        {kParamLineHead1, "  метка       Адрес      метка  "},
        {kParamLineHead2, "параметра   Параметра   формата"},
        {kDisplayLineHead1, "  метка        №        Адрес       метка    "},
        {kDisplayLineHead2, "параметра    канала    Параметра   формата  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.head, Cp1251(c.utf8));
    }
    EXPECT_EQ(Utf8FromCp1251(kRoleSignText), "знак");
    EXPECT_EQ(Utf8FromCp1251(kRoleDataText), "данн");
}

}  // namespace
}  // namespace orv
