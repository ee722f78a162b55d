// The window's keys without menu items (F6, Shift+F6, F1, Shift+F1, Ctrl+P), printing of the table
// pane and the lock indicators of the status bar.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

#include "app/ui/CMainFrame.h"
#include "app/ui/lock_state.h"
#include "support/scripted_device.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "support/ui/widget_test.h"

namespace orv::ui {
namespace {

class MainFrameKeysTest : public ::testing::Test {
protected:
    MainFrameKeysTest() {
        state.Devices = &devices;
        frame = std::make_unique<CMainFrame>(state);
    }
    // The number of pages of a PDF file (0 when it cannot be read).
    static int PdfPages(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return 0;
        const QByteArray pdf = file.readAll();
        if (!pdf.startsWith("%PDF")) return 0;
        int pages = 0;
        for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
            if (pdf.mid(at + 11, 1) != "s") ++pages;
        return pages;
    }

    RecordingProvider devices{{"arinc10"}};
    ProgramState state;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameKeysTest, F6AndShiftF6MoveBetweenThePanes) {
    ASSERT_TRUE(test::ShowAndFocus(*frame, frame->TableView()));
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame->TitleView());
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame->TableView());
    QTest::keyClick(frame.get(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), frame->TitleView());
    QTest::keyClick(frame.get(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), frame->TableView());
    // No menu item carries these keys.
    for (int id : {57680, 57681, 57670, 57669, 57607}) {
        ASSERT_NE(frame->Command(id), nullptr) << id;
        EXPECT_TRUE(frame->Command(id)->associatedObjects().contains(frame.get())) << id;
        EXPECT_EQ(frame->Command(id)->associatedObjects().size(), 1) << id;
    }
}

TEST_F(MainFrameKeysTest, F1AndShiftF1RunTheHelpCommand) {
    ASSERT_TRUE(test::ShowAndFocus(*frame, frame->TableView()));
    ScopedScript script;
    // Whatever the help command shows, it is the command that runs.
    script->OnDialog([](QDialog& d) { d.reject(); });
    script->OnDialog([](QDialog& d) { d.reject(); });
    QSignalSpy help(frame->Command(57667), &QAction::triggered);
    QTest::keyClick(frame.get(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 1);
    QTest::keyClick(frame.get(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(help.count(), 2);
}

TEST_F(MainFrameKeysTest, CtrlPPrintsTheTablePaneThroughThePrintDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("table.pdf"));
    state.Acquisition.AcquisitionMode = 2;  // the capture block: 256 rows, more than one page
    ASSERT_TRUE(test::ShowAndFocus(*frame, frame->TableView()));
    ScopedScript script;
    script->OnDialog([&](QDialog& d) {
        auto* dialog = qobject_cast<QPrintDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        // The table is wider than high: landscape unless the engineer turns the page.
        EXPECT_EQ(dialog->printer()->pageLayout().orientation(), QPageLayout::Landscape);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        dialog->done(QDialog::Accepted);
    });
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(script->dialogClasses, QStringList{QStringLiteral("QPrintDialog")});
    const int pages = PdfPages(pdf);
    EXPECT_GT(pages, 1);

    // Cancelled: nothing printed.
    QFile::remove(pdf);
    script->OnDialog([](QDialog& d) { d.reject(); });
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(MainFrameKeysTest, LockIndicatorsShowOnlyWhileTheirLockIsOn) {
    const auto texts = [&] {
        QStringList t;
        for (const char* name : {"CAP", "NUM", "SCRL"}) {
            auto* label = frame->statusBar()->findChild<QLabel*>(QString::fromLatin1(name));
            t << (label ? label->text() : QStringLiteral("?"));
        }
        return t;
    };
    // This platform cannot tell the locks' states: every indicator blank, none claimed on.
    EXPECT_EQ(ReadLockState(), LockState{});
    EXPECT_EQ(texts(), QStringList({QString(), QString(), QString()}));
    frame->ShowLockState({true, false, std::nullopt});
    EXPECT_EQ(texts(), QStringList({QStringLiteral("CAP"), QString(), QString()}));
    frame->ShowLockState({false, true, true});
    EXPECT_EQ(texts(), QStringList({QString(), QStringLiteral("NUM"), QStringLiteral("SCRL")}));
    frame->UpdateLockIndicators();
    EXPECT_EQ(texts(), QStringList({QString(), QString(), QString()}));
}

}  // namespace
}  // namespace orv::ui
