// The save and open choosers, driven through their controls.
#include <QDialog>
#include <gtest/gtest.h>

#include <filesystem>

#include "state/capture_state.h"
#include "capture/ui/file_choosers.h"
#include "support/scratch_dir.h"
#include "resources/capture_strings.h"
#include "config/ui/type_text.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;
using test::Type;

constexpr int kName = 1009, kFiles = 1000;

using ui::U;

class ChooserTest : public test::ScratchDir {
protected:
    CaptureState capture;
};

TEST_F(ChooserTest, TypedNamesAreCompletedAndSaved) {
    struct Case {
        const char* typed;
        const char* file;
    };
    for (const Case& c : {Case{"abc", "abc.42i"}, Case{" x.txt ", "x.42i"}, Case{"a.b.c", "a.42i"},
                          Case{"Файл.", "Файл.42i"}}) {
        SCOPED_TRACE(c.typed);
        CSaveFileDlg dlg(capture);
        dlg.SetExtension(".42i");
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), U(text::kSaveChooserTitle));
        ui::ScopedScript script;
        test::TypeText(dlg, kName, U(c.typed));
        Press(dlg, ui::kIdOk);
        EXPECT_TRUE(script->MessageTexts().isEmpty());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(test::TextOf(dlg, kName), U(c.file));
        ASSERT_NE(capture.DataFileHandle, nullptr);
        EXPECT_TRUE(capture.DataFileHandle->Writing());
        const uint8_t data[] = {7, 8};
        EXPECT_TRUE(capture.DataFileHandle->Write(data));
        EXPECT_TRUE(capture.DataFileHandle->Close());
        capture.DataFileHandle.reset();
        EXPECT_EQ(ReadBytes(c.file), (std::vector<uint8_t>{7, 8}));
    }
}

TEST_F(ChooserTest, BadNamesAreRefusedAndTheChooserStaysOpen) {
    std::filesystem::create_directory("sub");
    CSaveFileDlg dlg(capture);
    dlg.SetExtension(".42o");
    dlg.show();
    ui::ScopedScript script;
    for (const char* typed : {"", "   ", ".hidden", "sub/abc", "../abc"}) {
        Type(dlg, kName, U(typed));
        Press(dlg, ui::kIdOk);
    }
    EXPECT_EQ(script->MessageTexts(), QStringList(5, U(text::kBadFileName)));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(capture.DataFileHandle, nullptr);
    EXPECT_TRUE(std::filesystem::is_empty("sub"));

    // A name taken by a directory: the question, then the creation fails.
    std::filesystem::create_directory("d.42o");
    script->Answer(ui::Answer::Ok);
    Type(dlg, kName, "d");
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kCreateFailed));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(capture.DataFileHandle, nullptr);
}

TEST_F(ChooserTest, PickingAnExistingFileAsksBeforeReplacingIt) {
    WriteBytes("old.42i", {1, 2, 3});
    WriteBytes("other.42o", {1});
    CSaveFileDlg dlg(capture);
    dlg.SetExtension(".42i");
    dlg.show();
    auto* files = Find<ui::ListBox>(dlg, kFiles);
    ASSERT_EQ(files->Count(), 1);
    test::DoubleClick(dlg, kFiles, 0);
    EXPECT_EQ(test::TextOf(dlg, kName), "old.42i");
    EXPECT_TRUE(dlg.isVisible());

    ui::ScopedScript script;
    script->Answer(ui::Answer::Cancel);
    Press(dlg, ui::kIdOk);
    ASSERT_EQ(script->MessageTexts(), QStringList{U("Файл с именем old.42i существует. Продолжить запись ?")});
    EXPECT_EQ(script->messages[0].buttons, ui::Buttons::OkCancel);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(capture.DataFileHandle, nullptr);
    EXPECT_EQ(ReadBytes("old.42i"), (std::vector<uint8_t>{1, 2, 3}));

    script->Answer(ui::Answer::Ok);
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_NE(capture.DataFileHandle, nullptr);
    capture.DataFileHandle.reset();  // closing with nothing written
    EXPECT_TRUE(ReadBytes("old.42i").empty());
}

TEST_F(ChooserTest, TheOpenChooserListsSortedAndOpensByDoubleClick) {
    {
        COpenFileDlg empty(capture);
        empty.SetExtension(".42i");
        empty.show();
        EXPECT_EQ(Find<ui::ListBox>(empty, kFiles)->Count(), 0);
    }
    for (const char* n : {"b.42i", "A.42i", "c.42o", "Я.42i", "я2.42i"}) WriteBytes(n, {5});
    COpenFileDlg dlg(capture);
    EXPECT_EQ(dlg.windowTitle(), U(text::kOpenChooserTitle));
    dlg.SetExtension(".42i");
    dlg.show();
    auto* files = Find<ui::ListBox>(dlg, kFiles);
    ASSERT_EQ(files->Count(), 4);
    EXPECT_EQ(files->item(0)->text(), "A.42i");
    EXPECT_EQ(files->item(1)->text(), "b.42i");
    EXPECT_EQ(files->item(2)->text(), U("Я.42i"));
    EXPECT_EQ(files->item(3)->text(), U("я2.42i"));
    auto* ok = Find<QAbstractButton>(dlg, ui::kIdOk);
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(ok->isEnabled());

    ui::ScopedScript script;
    // Held by another open, then gone: refused, the chooser stays open.
    auto held = DataFile::OpenForReading("A.42i");
    ASSERT_NE(held, nullptr);
    test::DoubleClick(dlg, kFiles, 0);
    held.reset();
    std::filesystem::remove("b.42i");
    test::DoubleClick(dlg, kFiles, 1);
    EXPECT_EQ(script->MessageTexts(), QStringList(2, U(text::kOpenFailed)));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(capture.DataFileHandle, nullptr);

    test::DoubleClick(dlg, kFiles, 2);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_NE(capture.DataFileHandle, nullptr);
    EXPECT_FALSE(capture.DataFileHandle->Writing());
    EXPECT_EQ(capture.DataFileHandle->Path(), "Я.42i");
    uint8_t buf[4];
    EXPECT_EQ(capture.DataFileHandle->Read(buf), 1u);
}

TEST_F(ChooserTest, CancelCreatesNothing) {
    CSaveFileDlg dlg(capture);
    dlg.SetExtension(".42i");
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Type(d, kName, "abc");
        Press(d, ui::kIdCancel);
    });
    EXPECT_EQ(ui::RunModal(dlg), QDialog::Rejected);
    EXPECT_EQ(capture.DataFileHandle, nullptr);
    EXPECT_TRUE(Entries().empty());
}

}  // namespace
}  // namespace orv
