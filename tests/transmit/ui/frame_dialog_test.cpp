// The output channel chooser, the frame dialog and the word editors driven through their controls.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "support/scripted_device.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "resources/capture_strings.h"
#include "resources/transmit_strings.h"
#include "resources/ui/text_codec.h"
#include "support/ui/widget_test.h"
#include "transmit/frame_line.h"
#include "transmit/output_channel.h"
#include "transmit/ui/COutChannelChooserDlg.h"
#include "transmit/ui/COutputFrameDlg.h"
#include "transmit/ui/transmit_commands.h"
#include "transmit/ui/word_dialogs.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using test::Find;
using test::Press;
using test::TextOf;
using test::Type;

constexpr int kList = 1000, kHeader = 1009, kAdd = 1020, kDelete = 1019, kEdit = 1021, kInsert = 1022;
constexpr int kChangeCode = 1018, kRestore = 1003, kSave = 1004, kClear = 1006, kOneShot = 1002, kCyclic = 1005;
constexpr int kStart = 1023, kStop = 1025;
// Word editor.
constexpr int kParams = 1000, kFormats = 1011, kCode = 1013, kCheck = 1001, kDecimal = 1014, kM = 1016;
constexpr int kLabel = 1025, kAddress = 1022, kFormatLabel = 1024, kClearFormat = 1021;

using ui::U;


ParamRecord Param(const char* label, uint16_t address, const char* format) {
    ParamRecord r;
    r.paramLabel.Assign(label);
    r.address = address;
    r.formatLabel.Assign(format);
    return r;
}

FrameEntry Word(uint16_t number, ArincWord word) {
    FrameEntry e;
    e.number = number;
    e.paramLabel.Assign("W");
    e.address = uint16_t(word & 0xFF);
    e.word = word;
    return e;
}

const std::vector<std::string>& Lines(const QWidget& dlg) { return Find<ui::ListBox>(dlg, kList)->Lines().Lines(); }

std::vector<unsigned> Numbers(const QWidget& dlg) {
    std::vector<unsigned> n;
    FrameEntry e;
    for (const auto& line : Lines(dlg)) {
        ParseFrameLine(line, e);
        n.push_back(e.number);
    }
    return n;
}

class FrameDialogTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        DecimalFormat spd = test::Alt1Format();
        spd.label.Assign("SPD");
        ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{spd, test::Alt1Format()}));
        ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{Param("ALT", 0377, "ALT1"), Param("LOST", 0206, "NOPE")}));
    }
    void WithBoard(uint16_t outputs = 2) {
        state.Shell.DeviceState = 0;
        state.Board.OutputChannelCount = outputs;
        state.Board.Link.Attach(&device);
        device.SetReplyWord(kLoadOutputChannel, 0);
        device.SetReplyWord(kStartOutputChannel, 1);
    }
    // A stored frame of `n` words on `channel`.
    void Store(unsigned channel, int n) {
        auto& frame = state.Transmit.StoredFrames[channel - 1];
        for (int i = 0; i < n; ++i) frame[std::size_t(i)] = Word(uint16_t(i), ComposeWord(0x100u + unsigned(i), 1));
    }
    ProgramState state;
    ScriptedDevice device;
};

TEST_F(FrameDialogTest, WithoutBoardTheFrameOpensWithoutChannelAndRefusesCodeChange) {
    ui::ScopedScript script;
    script->OnDialog([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kFrameTitle));
        EXPECT_EQ(TextOf(d, kHeader), U(text::kFrameNoBoardHeader));
        EXPECT_FALSE(Find<QPushButton>(d, kStart)->isEnabled());
        EXPECT_FALSE(Find<QPushButton>(d, kStop)->isEnabled());
        EXPECT_FALSE(Find<QRadioButton>(d, kOneShot)->isChecked());
        EXPECT_FALSE(Find<QRadioButton>(d, kCyclic)->isChecked());
        EXPECT_TRUE(Lines(d).empty());
        Press(d, kChangeCode);
        Press(d, ui::kIdOk);
    });
    RunTransmit(nullptr, state);
    EXPECT_EQ(script->dialogClasses, QStringList{"orv::COutputFrameDlg"});
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kNoDeviceForCode)});
}

TEST_F(FrameDialogTest, ChooserListsTheOutputsAndOpensTheFrameOfTheChannel) {
    WithBoard(2);
    Store(2, 2);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kOutChooserTitle));
        EXPECT_EQ(Find<ui::ListBox>(d, 1000)->Lines().Lines(), (std::vector<std::string>{"  1", "  2"}));
        EXPECT_FALSE(Find<QPushButton>(d, ui::kIdOk)->isEnabled());
        test::DoubleClick(d, 1000, 1);
    });
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(TextOf(d, kHeader), U(text::kFrameChannelHeader) + " 2 ");
        EXPECT_TRUE(Find<QRadioButton>(d, kOneShot)->isChecked());
        EXPECT_EQ(Lines(d).size(), 2u);
        d.accept();
    });
    RunTransmit(nullptr, state);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
    EXPECT_EQ(script->dialogClasses.size(), 2);

    // A board with nothing started shows an empty frame.
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    script->OnDialog([](QDialog& d) {
        EXPECT_TRUE(Lines(d).empty());
        d.accept();
    });
    RunTransmit(nullptr, state);
}

TEST_F(FrameDialogTest, WordEditorComposesFromTheDictionaryAndChecksTheCode) {
    COutputFrameDlg dlg(state, 0);
    ui::ScopedScript script;
    script->Answer(ui::Answer::Yes);
    script->OnDialog([](QDialog& d) {
        auto* params = Find<ui::ListBox>(d, kParams);
        ASSERT_EQ(params->Count(), 2);
        test::DoubleClick(d, kParams, 0);
        EXPECT_EQ(TextOf(d, kLabel), "ALT     ");
        EXPECT_EQ(TextOf(d, kAddress), "377");
        EXPECT_EQ(TextOf(d, kFormatLabel), "ALT1    ");
        Type(d, kCode, "0c80001");  // seven characters cannot be typed
        EXPECT_EQ(TextOf(d, kCode), "0c8000");
        Press(d, kCheck);
        EXPECT_EQ(TextOf(d, kM), "00");
        EXPECT_EQ(TextOf(d, kDecimal), " +1.406250e+002 deg     ");
        EXPECT_EQ(Find<ui::ListBox>(d, kFormats)->Selection(), 0);
        Press(d, kClearFormat);
        Type(d, kCode, "200000");
        Press(d, kCheck);
        EXPECT_EQ(TextOf(d, kM), "01");
        EXPECT_EQ(TextOf(d, kDecimal), " ");
        test::DoubleClick(d, kFormats, 0);
        Type(d, kCode, "923456");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAdd);
    ASSERT_EQ(Lines(dlg).size(), 1u);
    FrameEntry e;
    ParseFrameLine(Lines(dlg)[0], e);
    EXPECT_EQ(e.word, 0x123456FFu);
    EXPECT_EQ(e.formatLabel.View(), "ALT1    ");
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kAddQuestion)});
    EXPECT_EQ(script->messages[0].buttons, ui::Buttons::YesNoCancel);

    // A format the table lacks: reported, and the word is added all the same.
    script->messages.clear();
    script->Answer(ui::Answer::Yes);
    script->OnDialog([](QDialog& d) {
        test::DoubleClick(d, kParams, 1);
        Type(d, kCode, "1");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAdd);
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(text::kAddQuestion), U(text::kFormatMissing)}));
    ASSERT_EQ(Lines(dlg).size(), 2u);
    ParseFrameLine(Lines(dlg)[1], e);
    EXPECT_EQ(e.word, 0x186u);
    EXPECT_EQ(e.number, 1);
    // ...without a format: DECIMAL and the format columns stay blank.
    EXPECT_TRUE(e.formatLabel.IsBlank());
    EXPECT_EQ(Lines(dlg)[1].size(), kFrameNoFormatLineLength);
    EXPECT_EQ(Lines(dlg)[1].find_first_not_of(' ', kColDecimal), std::string::npos);
}

TEST_F(FrameDialogTest, WordEditorRefusalsKeepItOpen) {
    FrameEntry current;
    COutputWordDlg ed(current);
    ed.SetTexts({"400", "ALT     ", "        ", "1"});
    ed.show();
    ui::ScopedScript script;
    Press(ed, ui::kIdOk);
    ed.SetTexts({"12", "ALT     ", "        ", ""});
    Press(ed, ui::kIdOk);
    EXPECT_TRUE(ed.isVisible());
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(text::kBadAddress), U(text::kBadCode)}));
}

TEST_F(FrameDialogTest, PauseDialogAcceptsUpTo255AndCancelGivesZero) {
    FrameEntry current;
    CPauseDlg dlg(current);
    dlg.show();
    EXPECT_EQ(TextOf(dlg, 1009), "1");
    ui::ScopedScript script;
    for (const char* bad : {"256", "-1"}) {
        Type(dlg, 1009, bad);
        Press(dlg, ui::kIdOk);
        EXPECT_TRUE(dlg.isVisible()) << bad;
    }
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(text::kBadPause), U(text::kBadPause)}));
    Type(dlg, 1009, "255");
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(current.pause, 255);

    CPauseDlg cancelled(current);
    cancelled.show();
    Press(cancelled, ui::kIdCancel);
    EXPECT_EQ(current.pause, 0);
}

TEST_F(FrameDialogTest, PausesOnALongFrameAndNumberingAfterDeleteAndInsert) {
    WithBoard();
    Store(1, 250);
    COutputFrameDlg dlg(state, 1);
    ui::ScopedScript script;
    auto pause = [&](const char* length) {
        script->Answer(ui::Answer::No);
        script->OnDialog([length](QDialog& d) {
            Type(d, 1009, length);
            Press(d, ui::kIdOk);
        });
    };
    Find<ui::ListBox>(dlg, kList)->Select(3);
    pause("10");
    Press(dlg, kInsert);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kInsertOver256));
    EXPECT_EQ(Lines(dlg).size(), 250u);
    pause("10");
    Press(dlg, kAdd);
    EXPECT_EQ(Lines(dlg).size(), 256u);
    EXPECT_EQ(Lines(dlg)[255], RenderPauseLine(255));
    EXPECT_EQ(script->MessageTexts().last(), U(text::kAddQuestion));
    Press(dlg, kAdd);
    Press(dlg, kInsert);
    EXPECT_EQ(script->MessageTexts().mid(script->MessageTexts().size() - 2),
              (QStringList{U(text::kList256), U(text::kList256)}));

    Press(dlg, kClear);
    EXPECT_TRUE(Lines(dlg).empty());
    Press(dlg, kDelete);
    Press(dlg, kEdit);
    EXPECT_EQ(script->MessageTexts().mid(script->MessageTexts().size() - 2),
              (QStringList{U(text::kPickParameter), U(text::kPickParameter)}));
}

TEST_F(FrameDialogTest, DeleteAndInsertRenumber) {
    WithBoard();
    Store(1, 6);
    COutputFrameDlg dlg(state, 1);
    ui::ScopedScript script;
    auto* list = Find<ui::ListBox>(dlg, kList);
    list->Select(3);
    script->Answer(ui::Answer::Cancel);
    Press(dlg, kDelete);
    EXPECT_EQ(Lines(dlg).size(), 6u);
    list->Select(3);
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(Numbers(dlg), (std::vector<unsigned>{0, 1, 2, 3, 4}));
    EXPECT_EQ(script->messages.back().buttons, ui::Buttons::OkCancel);

    list->Select(2);
    script->Answer(ui::Answer::No);
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "3");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kInsert);
    EXPECT_EQ(Numbers(dlg), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Lines(dlg)[2], RenderPauseLine(2));

    // Editing a pause is refused; editing a word updates the line and the stored frame.
    list->Select(3);
    Press(dlg, kEdit);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kPauseOnlyDelete));
    list->Select(5);
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(TextOf(d, kAddress), "001");
        EXPECT_EQ(TextOf(d, kLabel), "W       ");
        EXPECT_EQ(TextOf(d, kCode), "000102");
        Type(d, kCode, "abc");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kEdit);
    FrameEntry e;
    ParseFrameLine(Lines(dlg)[5], e);
    EXPECT_EQ(e.word, 0xABC01u);
    EXPECT_EQ(e.number, 5);
    EXPECT_EQ(state.Transmit.StoredFrames[0][5].word, 0xABC01u);
    EXPECT_TRUE(device.Codes().empty());  // nothing sent by an edit
}

TEST_F(FrameDialogTest, SaveAndRestoreReproduceEveryLine) {
    WithBoard();
    Store(1, 3);
    state.Transmit.StoredFrames[0][1].pause = 1;
    state.Transmit.StoredFrames[0][2].format = test::Alt1Format();
    state.Transmit.StoredFrames[0][2].formatLabel = test::Alt1Format().label;
    COutputFrameDlg dlg(state, 1);
    const std::vector<std::string> before = Lines(dlg);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "frame");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kSave);
    EXPECT_EQ(ReadBytes("frame.42o").size(), 3u * kFrameRecordSize);
    EXPECT_FALSE(state.Capture.DataFileHandle);
    Press(dlg, kClear);
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    Press(dlg, kRestore);
    EXPECT_EQ(Lines(dlg), before);
    EXPECT_TRUE(script->MessageTexts().isEmpty());

    Press(dlg, kClear);
    Press(dlg, kSave);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kNoParameters)});
}

// A disk that fills during the save (a file size limit stands in for it): the old file stays and
// the engineer is told, as the display list's save tells.
TEST_F(FrameDialogTest, ASaveThatCannotBeWrittenWholeSaysSoAndKeepsTheOldFile) {
    WithBoard();
    Store(1, 3);
    COutputFrameDlg dlg(state, 1);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "frame");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kSave);
    const std::vector<uint8_t> saved = ReadBytes("frame.42o");
    ASSERT_EQ(saved.size(), 3u * kFrameRecordSize);
    ASSERT_TRUE(script->MessageTexts().isEmpty());

    Store(1, 5);
    COutputFrameDlg longer(state, 1);
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "frame");
        Press(d, ui::kIdOk);
    });
    script->Answer(ui::Answer::Ok);  // replace frame.42o
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG
    rlimit small = old;
    small.rlim_cur = kFrameRecordSize;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Press(longer, kSave);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kCreateFailed));
    EXPECT_EQ(ReadBytes("frame.42o"), saved);
    EXPECT_FALSE(state.Capture.DataFileHandle);
    EXPECT_EQ(Entries().size(), std::size_t(3));  // the formats, the dictionary, the frame: no temporary
}

TEST_F(FrameDialogTest, ARestoredFileOf300RecordsStartsWith256Slots) {
    WithBoard();
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 300; ++i) {
        const auto rec = EncodeFrameEntry(Word(uint16_t(i), ComposeWord(unsigned(i), 2)));
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    WriteBytes("long.42o", bytes);
    COutputFrameDlg dlg(state, 1);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    Press(dlg, kRestore);
    ASSERT_EQ(Lines(dlg).size(), 300u);
    Press(dlg, kAdd);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kList256)});

    Press(dlg, kStart);
    const auto requests = device.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].code, uint32_t(kWriteRange));
    EXPECT_EQ(requests[0].InputWord(2 * ControlBlock::WriteLength), 512);
    EXPECT_EQ(state.Transmit.StoredFrames[0][256].endFlag, 1);
    EXPECT_EQ(state.Transmit.StoredFrames[0][255].word, ComposeWord(255, 2));
    EXPECT_EQ(state.Board.BoardImage.Get(0x28), 0x8700);

    Press(dlg, kClear);
    EXPECT_TRUE(Lines(dlg).empty());
}

TEST_F(FrameDialogTest, CyclicStartStopAndCodeChangeOfSlot5OnChannel2) {
    WithBoard();
    Store(2, 8);
    state.Board.BoardImage.Set(ControlBlock::OutputFrameOffsets + 1, 512);
    COutputFrameDlg dlg(state, 2);
    ui::ScopedScript script;
    Find<QRadioButton>(dlg, kCyclic)->click();
    Press(dlg, kStart);
    EXPECT_EQ(dlg.ModeIndex(), 1);
    EXPECT_EQ(state.Board.BoardImage.Get(0x29), 0x8500);
    EXPECT_EQ(state.Board.BoardImage.Get(OutputSlotWord(2, 7)), 0x8001);
    device.Clear();
    Press(dlg, kStop);
    ASSERT_EQ(device.Codes(), (std::vector<uint32_t>{kStopChannel}));
    EXPECT_EQ(device.Requests()[0].InputWord(2 * (ControlBlock::RunChannel - ControlBlock::Start)), 9);

    device.Clear();
    Find<ui::ListBox>(dlg, kList)->Select(5);
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kCodeChangeTitle));
        EXPECT_EQ(TextOf(d, kCode), "000105");
        Type(d, kCode, "200000");
        Press(d, kCheck);
        EXPECT_EQ(TextOf(d, 1016), "01");
        EXPECT_EQ(TextOf(d, 1014), " ");
        Type(d, kCode, "");
        Press(d, ui::kIdOk);
        EXPECT_TRUE(d.isVisible());
        Type(d, kCode, "abcdef");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kChangeCode);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kBadCode)});
    ASSERT_EQ(device.Codes(), (std::vector<uint32_t>{kChangeFrameWord}));
    const uint32_t a = 0x5000 + 512 + 10;
    EXPECT_EQ(device.Requests()[0].InputWord(2 * (ControlBlock::WordAddress - ControlBlock::Start)), a);
    const ArincWord w = ComposeWord(0xABCDEF, 1);
    EXPECT_EQ(state.Board.BoardImage.Get32(a), w | 0x80000000u);
    EXPECT_EQ(state.Transmit.StoredFrames[1][5].word, w);
    FrameEntry e;
    ParseFrameLine(Lines(dlg)[5], e);
    EXPECT_EQ(e.word, w);
    EXPECT_EQ(e.number, 5);
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Selection(), 5);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST_F(FrameDialogTest, RestoringReplacesTheLinesTheListHeld) {
    WithBoard();
    Store(1, 3);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 2; ++i) {
        const auto rec = EncodeFrameEntry(Word(uint16_t(i), ComposeWord(0x700u + unsigned(i), 3)));
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    WriteBytes("two.42o", bytes);
    COutputFrameDlg dlg(state, 1);
    ASSERT_EQ(Lines(dlg).size(), 3u);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    Press(dlg, kRestore);
    // Exactly the file's two words, not appended to the three lines that were shown.
    ASSERT_EQ(Lines(dlg).size(), 2u);
    FrameEntry e;
    for (unsigned i = 0; i < 2; ++i) {
        ParseFrameLine(Lines(dlg)[i], e);
        EXPECT_EQ(e.word, ComposeWord(0x700u + i, 3));
        EXPECT_EQ(e.number, i);
    }
}

}  // namespace
}  // namespace orv
