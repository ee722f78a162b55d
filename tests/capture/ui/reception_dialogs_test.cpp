// The input channel chooser and the file reception dialog driven through their controls.
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "support/scripted_device.h"
#include "capture/ui/CFileReceiveDlg.h"
#include "capture/ui/CInChannelChooserDlg.h"
#include "capture/ui/reception_commands.h"
#include "resources/reception_strings.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;

constexpr int kWithStop = 1001, kNoStop = 1002, kAddress = 1026, kChannel = 1027;

using ui::U;

void SetAddress(const QWidget& d, const QString& text) { Find<QPlainTextEdit>(d, kAddress)->setPlainText(text); }

class ReceptionDialogTest : public ::testing::Test {
protected:
    ReceptionDialogTest() {
        state.Shell.DeviceState = 0;
        state.Board.InputChannelCount = 3;
        state.Board.Link.Attach(&device);
        device.SetReplyWord(kStartInputChannel, 1);
    }
    ProgramState state;
    ScriptedDevice device;
};

TEST_F(ReceptionDialogTest, ChooserOpensTheDialogForTheChannelAndStopAddressIsValidated) {
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kInChooserTitle));
        EXPECT_EQ(Find<ui::ListBox>(d, 1000)->Lines().Lines(), (std::vector<std::string>{"  1", "  2", "  3"}));
        test::DoubleClick(d, 1000, 2);
    });
    script->OnDialog([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kReceiveTitle));
        EXPECT_EQ(test::TextOf(d, kChannel), "3");
        EXPECT_TRUE(Find<QRadioButton>(d, kNoStop)->isChecked());
        Find<QRadioButton>(d, kWithStop)->click();
        for (const char* bad : {"400", "777", "", "   ", "9", "x", "-1"}) {
            SetAddress(d, U(bad));
            Press(d, ui::kIdOk);
            EXPECT_TRUE(d.isVisible()) << bad;
        }
        EXPECT_TRUE(device.Codes().empty());
        EXPECT_EQ(state.Acquisition.AcquisitionMode, 0);
        SetAddress(d, "377");
        Press(d, ui::kIdOk);
    });
    RunFileReception(nullptr, state);
    EXPECT_EQ(script->MessageTexts(), QStringList(7, U(text::kBadStopAddress)));
    EXPECT_EQ(state.Capture.StopLabel, 255);
    EXPECT_EQ(state.Capture.FileChannel, 3);
    EXPECT_EQ(state.Capture.StreamAddress, 0x4400);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 2);
    EXPECT_EQ(state.Board.BoardImage.Get(0x2200 + 255), 1);
    EXPECT_EQ(device.Codes(), (std::vector<uint32_t>{kStopChannel, kWriteRange, kLoadInputChannel, kStartInputChannel}));
}

TEST_F(ReceptionDialogTest, OctalDigitsThenALetterAndTheThreeCharacterLimit) {
    CFileReceiveDlg dlg(state, 2);
    dlg.show();
    ui::ScopedScript script;
    Find<QRadioButton>(dlg, kWithStop)->click();
    SetAddress(dlg, "17x9");
    EXPECT_EQ(Find<QPlainTextEdit>(dlg, kAddress)->toPlainText(), "17x");
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(state.Capture.StopLabel, 15);
    EXPECT_EQ(state.Board.BoardImage.Get(0x2100 + 15), 1);
}

TEST_F(ReceptionDialogTest, NoStopIgnoresTheTextAndARefusedStartStillSwitchesTheDisplay) {
    device.SetReplyWord(kStartInputChannel, 0);
    state.Capture.StopLabel = 12;
    CFileReceiveDlg dlg(state, 1);
    dlg.show();
    ui::ScopedScript script;
    SetAddress(dlg, "zz");
    Press(dlg, ui::kIdOk);
    EXPECT_TRUE(script->MessageTexts().isEmpty());
    EXPECT_EQ(state.Capture.StopLabel, -1);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 2);
    EXPECT_EQ(state.Capture.StreamAddress, 0x4000);
    EXPECT_EQ(state.Board.BoardImage.Get(ControlBlock::InputActiveFlags), 0);
    for (uint32_t l = 0; l < 256; ++l) ASSERT_EQ(state.Board.BoardImage.Get(0x2000 + l), 0);
}

TEST_F(ReceptionDialogTest, CancelAndAnEmptyChooserChangeNothing) {
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    script->OnDialog([](QDialog& d) { Press(d, ui::kIdCancel); });
    RunFileReception(nullptr, state);
    EXPECT_TRUE(device.Codes().empty());
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 0);

    CInChannelChooserDlg empty(0);
    EXPECT_EQ(Find<ui::ListBox>(empty, 1000)->Count(), 0);

    state.Shell.DeviceState = -1;
    RunFileReception(nullptr, state);
    EXPECT_EQ(script->dialogClasses.size(), 2);
}

}  // namespace
}  // namespace orv
