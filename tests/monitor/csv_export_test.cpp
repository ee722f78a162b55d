// CSV exports: quoting, the plain decimal value and its single-precision round trip, and the rows
// of the trace, the monitor table and the capture block.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "monitor/csv_export.h"
#include "monitor/mask.h"
#include "monitor/row_ink.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

// The records of a CSV text, each split at its CR LF (no field here holds a line break).
std::vector<std::string> Records(const std::string& csv) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < csv.size()) {
        const std::size_t end = csv.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "record without CR LF";
        if (end == std::string::npos) break;
        out.push_back(csv.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

TEST(CsvTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("ALT"), "ALT");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("Высота"), "Высота");
    EXPECT_EQ(CsvField("A,B"), "\"A,B\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvRecord({"a", "б,в", "\""}), "a,\"б,в\",\"\"\"\"\r\n");
    // A Windows-1251 label with a comma, a quote and Cyrillic letters, as the table holds it.
    const std::string label = PadLeft(Cp1251("В,\"с"), 8);
    EXPECT_EQ(CsvField(LabelCell(label)), "\"В,\"\"с\"");
}

TEST(CsvTest, ValuesArePlainDecimalsThatReadBackAsTheSameFloat) {
    EXPECT_EQ(PlainDecimal(140.625f), "140.625");
    EXPECT_EQ(PlainDecimal(18000.0f), "18000");
    EXPECT_EQ(PlainDecimal(-0.0f), "-0");
    EXPECT_EQ(PlainDecimal(0.0f), "0");
    EXPECT_EQ(PlainDecimal(6.866455078125e-4f), "0.000686645508");
    EXPECT_EQ(PlainDecimal(0.1f), "0.100000001");
    EXPECT_EQ(PlainDecimal(std::numeric_limits<float>::max()), "340282347" + std::string(30, '0'));
    EXPECT_EQ(PlainDecimal(std::numeric_limits<float>::denorm_min()),
              "0." + std::string(44, '0') + "140129846");
    EXPECT_EQ(PlainDecimal(std::numeric_limits<float>::infinity()), "");
    EXPECT_EQ(PlainDecimal(-std::numeric_limits<float>::infinity()), "");
    EXPECT_EQ(PlainDecimal(std::numeric_limits<float>::quiet_NaN()), "");

    std::mt19937 random(42);
    for (int i = 0; i < 20000; ++i) {
        const float v = std::bit_cast<float>(uint32_t(random()));
        if (!std::isfinite(v)) continue;
        const std::string text = PlainDecimal(v);
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        ASSERT_EQ(std::bit_cast<uint32_t>(std::strtof(text.c_str(), nullptr)), std::bit_cast<uint32_t>(v)) << text;
    }

    // The value cell of a word: empty without a format and when the sum overflows.
    EXPECT_EQ(ValueCell(0x0C8000C8, test::Alt1Format()), "140.625");
    EXPECT_EQ(ValueCell(0x100000C8, test::Alt1Format()), "-180");  // sign set, field all 0
    EXPECT_EQ(ValueCell(0x0C8000C8, DecimalFormat::None()), "");
    DecimalFormat huge = test::Alt1Format();
    huge.msbWeight = 3e38f;
    EXPECT_EQ(ValueCell(0x0C000000, huge), "");
}

TEST(CsvTest, TraceRowsFollowTheListing) {
    AcquisitionState acq;
    StoreMaskPattern(acq, 2, EncodeMask("xx1" + std::string(20, 'x')));
    const auto put = [&](int slot, uint32_t word, uint32_t time) {
        acq.TraceValues[2][std::size_t(slot)] = word;
        acq.TraceTimes[2][std::size_t(slot)] = time;
    };
    put(0, 0x1C8000C8, 4000);
    put(1, 0x0C8000C8, 4050);
    put(2, 0x4C8000C8, 4047);  // the clock went back: a negative interval, as the list shows
    acq.TraceIndex[2] = 3;
    const std::vector<std::string> rows = Records(TraceCsv(TakeTraceSnapshot(acq, 2), test::Alt1Format()));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "индекс,время (мс),интервал (мс),HEX,OCTAL,M,значение,единицы,по маске");
    EXPECT_EQ(rows[1], "0,0,0,0x1c8000c8,003440000310,00,-39.375,deg,да");
    EXPECT_EQ(rows[2], "1,50,50,0x0c8000c8,001440000310,00,140.625,deg,нет");
    EXPECT_EQ(rows[3], "2,47,-3,0x4c8000c8,011440000310,10,140.625,deg,нет");

    // Without a format: no value and no units.
    EXPECT_EQ(Records(TraceCsv(TakeTraceSnapshot(acq, 2), DecimalFormat::None()))[2],
              "1,50,50,0x0c8000c8,001440000310,00,,,нет");
}

TEST(CsvTest, TableRowsAreWhatThePaneShows) {
    DisplayState display;
    AcquisitionState acq;
    BoardImage image;
    DisplayEntry& alt = test::PutEntry(display, 0, "ALT", 5, 0203, true);
    alt.receivedCycle = 12;
    alt.receivedWord = 0x0C8000C8;  // the last complete word the tick took
    DisplayEntry& masked = test::PutEntry(display, 1, "Ск,\"x\"", 6, 0212);
    masked.paramLabel.Assign(PadLeft(Cp1251("Ск,\"x\""), 8));
    masked.maskMode = 1;
    acq.MaskMatchCount[5] = 17;
    image.Set32(display.SlotAddresses[0], 0x000000C8);  // a released slot: not shown
    image.Set32(display.SlotAddresses[1], 0x12345678);  // not shown: the masked row shows 0

    const std::vector<std::string> rows = Records(TableCsv(TakeShownTable(display, acq, image, 99)));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              "метка параметра,канал,адрес (окт),HEX,OCTAL,M,значение,единицы,цикл приема,прием по маске,устарел");
    const auto stale = [&](int row) { return std::string(RowIsStale(display, acq, row, 99) ? "да" : "нет"); };
    EXPECT_EQ(rows[1], "ALT,5,203,0x0c8000c8,001440000310,00,140.625,deg,12,," + stale(0));
    EXPECT_EQ(rows[2], "\"Ск,\"\"x\"\"\",6,212,0x00000000,000000000000,00,,,0,17," + stale(1));
}

TEST(CsvTest, BlockRowsAreTheCaptureBlockWords) {
    BoardImage image;
    const uint16_t stream = 0x4000 + 2 * 512;
    image.Set32(stream, 0x600000C8);
    image.Set32(stream + 2u * 255u, 0x00000001);
    image.Set32(stream + 2u * 256u, 0xFFFFFFFF);  // the next channel's block: not exported
    const std::vector<std::string> rows = Records(BlockCsv(image, stream));
    ASSERT_EQ(rows.size(), 257u);
    EXPECT_EQ(rows[0], "номер слова,адрес (окт),HEX,OCTAL,M");
    EXPECT_EQ(rows[1], "0,310,0x600000c8,014000000310,11");
    EXPECT_EQ(rows[2], "1,000,0x00000000,000000000000,00");
    EXPECT_EQ(rows[256], "255,001,0x00000001,000000000001,00");
}

}  // namespace
}  // namespace orv
