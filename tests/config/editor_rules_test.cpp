// Validation of the format editor and the dictionary entry editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/format_edit.h"
#include "config/param_edit.h"
#include "resources/config_strings.h"
#include "config/format_line.h"

namespace orv {
namespace {

FormatFields Fields(const char* msb, const char* lsb, const char* weight, uint8_t role = 0,
                    const char* units = "deg", const char* label = "ALT1") {
    FormatFields f;
    f.label = label;
    f.msb = msb;
    f.lsb = lsb;
    f.weight = weight;
    f.units = units;
    f.role = role;
    return f;
}

std::string ErrorOf(const FormatFields& f) {
    const auto c = CheckFormatFields(f);
    return c.error ? c.error : "";
}

TEST(FormatEditTest, ChecksComeInTheEditorsOrder) {
    struct Case {
        FormatFields fields;
        const char* error;  // nullptr: accepted
    };
    const std::vector<Case> cases = {
        {Fields("", "", "", 0, "", ""), text::kNoMsb},
        {Fields("20", "", "", 0, "", ""), text::kNoLsb},
        {Fields("20", "10", "", 0, "", ""), text::kNoWeight},
        {Fields("5", "8", "1"), text::kMsbBelowLsb},  // step 4 before the LSB check
        {Fields("29", "11", "1", 0), text::kMsbAbove28},
        {Fields("29", "11", "1", 1), nullptr},
        {Fields("30", "11", "1", 1), text::kMsbAbove29},
        {Fields("20", "8", "1"), text::kLsbBelow9},
        {Fields("20", "9", "1"), nullptr},
        {Fields("20", "9", "0"), text::kNoWeight},
        {Fields("20", "9", "0.0"), text::kNoWeight},
        {Fields("20", "9", "-0.5"), nullptr},
        {Fields("20", "9", "1", 0, "  ", "ALT1"), text::kNoUnits},
        {Fields("20", "9", "1", 0, "m", "   "), text::kNoFormatLabel},
        // A negative bit number keeps its low 8 bits: -1 is 255, above 28.
        {Fields("-1", "9", "1"), text::kMsbAbove28},
        // Text that holds no number is refused like an empty field.
        {Fields("x", "9", "1"), text::kNoMsb},
        {Fields("20", "--", "1"), text::kNoLsb},
        {Fields("20", "9", "abc"), text::kNoWeight},
        // A weight the six-decimal line would turn into 0 is refused; the smallest kept is accepted.
        {Fields("20", "9", "0.0000001"), text::kNoWeight},
        {Fields("20", "9", "-0.0000004"), text::kNoWeight},
        {Fields("20", "9", "0.000001"), nullptr},
        // A weight that is no finite single-precision number cannot be stored.
        {Fields("20", "9", "1e39"), text::kNoWeight},
        {Fields("20", "9", "nan"), text::kNoWeight},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.fields.msb + std::string("/") + *c.fields.lsb + "/" + *c.fields.weight + " role " +
                     std::to_string(c.fields.role));
        EXPECT_EQ(ErrorOf(c.fields), c.error ? c.error : "");
    }
}

TEST(FormatEditTest, TextsWindows1251CannotHoldAreRefusedWithTheFieldsMessage) {
    FormatFields f = Fields("20", "9", "1");
    f.units = std::nullopt;
    EXPECT_EQ(ErrorOf(f), text::kNoUnits);
    f = Fields("20", "9", "1");
    f.label = std::nullopt;
    EXPECT_EQ(ErrorOf(f), text::kNoFormatLabel);
    f = Fields("20", "9", "1");
    f.weight = std::nullopt;
    EXPECT_EQ(ErrorOf(f), text::kNoWeight);
}

TEST(FormatEditTest, AcceptedFieldsMakeTheFormat) {
    const auto c = CheckFormatFields(Fields(" 28 ", "11", " 90 ", 1, " m ", " \xC2\xDB\xD1"));
    ASSERT_TRUE(c.ok()) << c.error;
    EXPECT_EQ(c.format.msbBit, 28);
    EXPECT_EQ(c.format.lsbBit, 11);
    EXPECT_EQ(c.format.msbWeight, 90.0f);
    EXPECT_EQ(c.format.bit29Role, 1);
    EXPECT_EQ(c.format.units.View(), "m   ");
    EXPECT_EQ(c.format.label.View(), "\xC2\xDB\xD1     ");  // Windows-1251 "ВЫС"
}

TEST(FormatEditTest, FieldsOfAFormatLineRoundTrip) {
    DecimalFormat f;
    f.label.Assign("ALT1");
    f.bit29Role = 1;
    f.msbBit = 28;
    f.lsbBit = 11;
    f.msbWeight = 0.25f;
    f.units.Assign("m");
    const FormatFields fields = FieldsOfFormatLine(RenderFormatLine(f));
    EXPECT_EQ(fields.label, "ALT1");
    EXPECT_EQ(fields.msb, "28");
    EXPECT_EQ(fields.lsb, "11");
    EXPECT_EQ(fields.weight, "0.250000");
    EXPECT_EQ(fields.units, "m");
    EXPECT_EQ(fields.role, 1);
    const auto back = CheckFormatFields(fields);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.format, f);
}

std::string ParamError(const ParamFields& f) {
    const auto c = CheckParamFields(f);
    return c.error ? c.error : "";
}

TEST(ParamEditTest, AddressIsOctalWithinOneByte) {
    struct Case {
        const char* address;
        int value;  // -1: refused
    };
    const std::vector<Case> cases = {{" 310 ", 0310}, {"0", 0}, {"377", 255}, {"400", -1}, {"1234", -1},
                                     {"", -1},        {"  ", -1}, {"8", -1},  {"abc", -1}, {"-1", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const auto check = CheckParamFields({"P1", c.address, ""});
        if (c.value < 0) {
            EXPECT_EQ(ParamError({"P1", c.address, ""}), text::kBadAddress);
        } else {
            ASSERT_TRUE(check.ok());
            EXPECT_EQ(check.record.address, c.value);
        }
    }
}

TEST(ParamEditTest, LabelsKeepInnerBlanksAndTheAddressIsCheckedFirst) {
    EXPECT_EQ(ParamError({"", "", ""}), text::kBadAddress);
    EXPECT_EQ(ParamError({"   ", "10", ""}), text::kNoParamLabel);
    EXPECT_EQ(ParamError({std::nullopt, "10", ""}), text::kNoParamLabel);
    const auto c = CheckParamFields({" AB CD ", "10", "        "});
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.record.paramLabel.View(), "AB CD   ");
    EXPECT_EQ(c.record.formatLabel.View(), "        ");
    const ParamFields back = FieldsOfParamLine(RenderParamLine(c.record));
    EXPECT_EQ(back.label, "AB CD");
    EXPECT_EQ(back.address, "010");
    EXPECT_EQ(back.formatLabel, "");
}

}  // namespace
}  // namespace orv
