// The frame dialog's list operations: limits, numbering, clearing and the ".42o" file contents.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "resources/file_strings.h"
#include "resources/transmit_strings.h"
#include "transmit/frame_line.h"
#include "transmit/frame_list.h"
#include "transmit_fixture.h"

namespace orv {
namespace {

using test::WordEntry;

LineList Words(int n) {
    LineList list;
    FrameEntry current;
    for (int i = 0; i < n; ++i) {
        current = WordEntry(0, "P", uint16_t(i & 0xFF), ComposeWord(uint32_t(0x100 + i), unsigned(i & 0xFF)));
        AppendWordLine(list, current);
    }
    return list;
}

std::vector<unsigned> Numbers(const LineList& list) {
    std::vector<unsigned> n;
    FrameEntry e;
    for (const auto& line : list.Lines()) {
        ParseFrameLine(line, e);
        n.push_back(e.number);
    }
    return n;
}

TEST(FrameList, PausesAreCutShortAt256WhenAddedAndRefusedWhenInserted) {
    LineList list = Words(250);
    FrameEntry current;
    EXPECT_STREQ(InsertPauseLines(list, 3, 10, current), text::kInsertOver256);
    EXPECT_EQ(list.Count(), 250);

    AppendPauseLines(list, 10);
    ASSERT_EQ(list.Count(), 256);
    EXPECT_EQ(list.At(250), RenderPauseLine(250));
    EXPECT_EQ(list.At(255), RenderPauseLine(255));
    EXPECT_STREQ(CheckRoomForSlot(list), text::kList256);
    EXPECT_EQ(CheckRoomForSlot(Words(255)), nullptr);

    LineList small = Words(3);
    AppendPauseLines(small, 0);
    EXPECT_EQ(InsertPauseLines(small, 1, 0, current), nullptr);
    EXPECT_EQ(small.Lines(), Words(3).Lines());
}

TEST(FrameList, DeleteDecreasesTheNumbersBelow) {
    LineList list = Words(6);
    const std::string last = list.At(5);
    FrameEntry current;
    DeleteFrameLine(list, 3, current);
    EXPECT_EQ(Numbers(list), (std::vector<unsigned>{0, 1, 2, 3, 4}));
    // The moved line keeps its word.
    FrameEntry moved;
    ParseFrameLine(list.At(4), moved);
    FrameEntry before;
    ParseFrameLine(last, before);
    EXPECT_EQ(moved.word, before.word);
}

TEST(FrameList, InsertRenumbersSoThatEveryNumberIsItsIndex) {
    LineList list = Words(5);
    const std::string oldSecond = list.At(2);
    FrameEntry current;
    ASSERT_EQ(InsertPauseLines(list, 2, 3, current), nullptr);
    EXPECT_EQ(Numbers(list), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(list.At(2), RenderPauseLine(2));
    EXPECT_EQ(list.At(4), RenderPauseLine(4));
    FrameEntry e;
    FrameEntry old;
    ParseFrameLine(list.At(5), e);
    ParseFrameLine(oldSecond, old);
    EXPECT_EQ(e.word, old.word);

    current = WordEntry(99, "NEW", 077, ComposeWord(0xABC, 077));
    InsertWordLine(list, 0, current);
    EXPECT_EQ(Numbers(list), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    ParseFrameLine(list.At(0), e);
    EXPECT_EQ(e.paramLabel.Trimmed(), "NEW");
    EXPECT_EQ(e.word, 0xABC3Fu);
}

TEST(FrameList, ClearRemovesEveryLineOfALongList) {
    FrameEntry current;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 300; ++i) {
        const auto r = EncodeFrameEntry(WordEntry(uint16_t(i), "P", 1, 0x101));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    LineList list;
    for (auto& line : FrameFileLines(bytes, current)) list.Insert(LineList::kNone, line);
    ASSERT_EQ(list.Count(), 300);
    EXPECT_STREQ(CheckRoomForSlot(list), text::kList256);
    ClearFrameLines(list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(FrameFile, SaveAndRestoreGiveEveryLineBackCharacterForCharacter) {
    LineList list;
    FrameEntry current = WordEntry(0, "ALT1", 0310, 0x0C8000C8, true);
    AppendWordLine(list, current);
    AppendPauseLines(list, 2);
    current = WordEntry(0, "SPD", 0206, ComposeWord(0x654321, 0206));
    AppendWordLine(list, current);
    AppendPauseLines(list, 1);

    const auto bytes = FrameFileBytes(list, current);
    ASSERT_EQ(bytes.size(), 5u * kFrameRecordSize);
    // A pause record: pause 1, its number, blank label; the rest left from the record before.
    const std::size_t p = kFrameRecordSize;
    EXPECT_EQ(bytes[p + 6], 1);
    EXPECT_EQ(bytes[p + 8], 1);
    EXPECT_EQ(std::string(bytes.begin() + p + 21, bytes.begin() + p + 29), "        ");
    EXPECT_EQ(bytes[p + 4], 0xC8);

    FrameEntry reader;
    EXPECT_EQ(FrameFileLines(bytes, reader), list.Lines());

    // A short record at the end is no slot: it must not show the previous record again.
    auto truncated = bytes;
    truncated.resize(bytes.size() - 20);
    const auto lines = FrameFileLines(truncated, reader);
    EXPECT_EQ(lines, std::vector<std::string>(list.Lines().begin(), list.Lines().end() - 1));
}

TEST(FrameList, StoredFrameShowsEntriesUpToTheEndFlag) {
    StoredFrame frame;
    for (auto& e : frame) e.endFlag = 1;
    EXPECT_TRUE(StoredFrameLines(frame).empty());
    frame[0] = WordEntry(0, "A", 1, 0x101);
    frame[1] = FrameEntry{};
    frame[1].pause = 1;
    frame[1].number = 1;
    const auto lines = StoredFrameLines(frame);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], RenderPauseLine(1));
    for (auto& e : frame) e.endFlag = 0;
    EXPECT_EQ(StoredFrameLines(frame).size(), 256u);
}

TEST(FrameFile, LabelsEndAtTheirFirstZeroByteAndDamagedRecordsAreLeftOut) {
    FrameEntry word = WordEntry(1, "ALT", 0310, 0x0C8000C8, true);
    auto rec = EncodeFrameEntry(word);
    std::memcpy(rec.data() + 21, "ALT\0junk", 8);
    FrameEntry current;
    const FrameEntry decoded = DecodeFrameEntry(rec);
    EXPECT_EQ(decoded.paramLabel.View(), "ALT     ");
    EXPECT_EQ(RenderFrameLine(decoded), RenderFrameLine(word));

    FrameEntry bigNumber = word;
    bigNumber.number = 0x1000;  // four columns where the line has three
    FrameEntry bigAddress = word;
    bigAddress.address = 0x100;
    FrameEntry control = word;
    control.paramLabel.Assign("A\tB");
    FrameEntry wideFormat = word;
    wideFormat.format.msbBit = 123;
    FrameEntry pause;  // a pause keeps whatever the record before left in its other fields
    pause.pause = 1;
    pause.number = 2;
    pause.address = 0x1234;
    EXPECT_EQ(FrameEntryDefect(pause), nullptr);
    // Found by fuzzing: a weight its six-decimal text does not give back changed the DECIMAL
    // column of the line after a save and a restore.
    FrameEntry tinyWeight = word;
    tinyWeight.format.msbWeight = -2.5e-32f;
    EXPECT_STREQ(FrameEntryDefect(tinyWeight), text::kDefectColumns);
    tinyWeight.format.msbWeight = 0.00048828125f;  // 2^-11 shows as 0.000488
    EXPECT_STREQ(FrameEntryDefect(tinyWeight), text::kDefectColumns);
    tinyWeight.format.msbWeight = 0.000488f;  // what the format table stores for it
    EXPECT_EQ(FrameEntryDefect(tinyWeight), nullptr);
    FrameEntry noFormat = word;  // a format label the table may not have: not damaged
    noFormat.format = DecimalFormat{};
    noFormat.format.label = word.formatLabel;
    EXPECT_EQ(FrameEntryDefect(noFormat), nullptr);

    std::vector<uint8_t> bytes;
    for (const auto& e : {word, bigNumber, bigAddress, control, wideFormat, pause}) {
        const auto r = EncodeFrameEntry(e);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    bytes.resize(bytes.size() + 63, 0);
    const FrameFileRead read = DecodeFrameFile(bytes, current);
    EXPECT_EQ(read.lines, (std::vector<std::string>{RenderFrameLine(word), RenderPauseLine(2)}));
    EXPECT_EQ(read.damaged.size(), 4u);
    EXPECT_EQ(read.trailingBytes, 63u);
    EXPECT_EQ(FrameFileMessages(read, "f.42o"),
              (std::vector<std::string>{"В файле f.42o пропущено поврежденных записей: 4",
                                        "Файл f.42o поврежден: неполная последняя запись отброшена."}));
}

TEST(FrameFile, AFileLongerThanTheLineNumbersIsCutWithAMessage) {
    std::vector<uint8_t> bytes;
    for (unsigned i = 0; i < kMaxFrameFileRecords + 3; ++i) {
        const auto r = EncodeFrameEntry(WordEntry(uint16_t(i & 0xFFF), "P", 1, 0x101));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    FrameEntry current;
    const FrameFileRead read = DecodeFrameFile(bytes, current);
    EXPECT_EQ(read.lines.size(), kMaxFrameFileRecords);
    EXPECT_EQ(read.recordsCut, 3u);
    EXPECT_TRUE(read.damaged.empty());
    EXPECT_EQ(FrameFileMessages(read, "long.42o"),
              std::vector<std::string>{
                  "В файле long.42o больше записей, чем номеров строк. Прочитано записей: 4096"});
}

// What the frame dialog's restore takes: a read that failed part way is told first and marks the
// file lossy, then what the bytes read left out; a clean whole file is neither.
TEST(FrameFile, ARestoreTellsAFailedReadFirstThenWhatTheBytesLeftOut) {
    std::vector<uint8_t> bytes;
    const auto r = EncodeFrameEntry(WordEntry(0, "P", 1, 0x101));
    bytes.insert(bytes.end(), r.begin(), r.end());
    FrameEntry current;
    const RestoredList clean = RestoreFrameList(bytes, true, "f.42o", current);
    EXPECT_EQ(clean.lines, DecodeFrameFile(bytes, current).lines);
    EXPECT_FALSE(clean.lossy);
    EXPECT_TRUE(clean.messages.empty());

    bytes.resize(bytes.size() + 5, 0);
    const RestoredList cut = RestoreFrameList(bytes, false, "f.42o", current);
    EXPECT_EQ(cut.lines.size(), 1u);
    EXPECT_TRUE(cut.lossy);
    EXPECT_EQ(cut.messages, (std::vector<std::string>{text::FileMessage(text::kFileReadFailed, "f.42o"),
                                                      "Файл f.42o поврежден: неполная последняя запись отброшена."}));
}

}  // namespace
}  // namespace orv
