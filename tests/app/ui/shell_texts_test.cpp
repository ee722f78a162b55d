// What the shell says about itself: its version, the period in the title pane right after it is
// changed, and Qt's own dialogs in Russian beside the program's unchanged message boxes.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "app/ui/CAboutDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/main_command_line.h"
#include "app/ui/table_print.h"
#include "monitor/title_text.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "resources/ui/qt_translation.h"
#include "resources/ui/save_file.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {


TEST(ShellTexts, TheAboutBoxAndTheVersionOptionShowTheOneVersion) {
    const CommandLine version = ParseCommandLine({QStringLiteral("orvmon"), QStringLiteral("--version")});
    ASSERT_EQ(version.exitCode, 0);
    ASSERT_TRUE(version.output.startsWith(QStringLiteral("orvmon ")) && version.output.endsWith(u'\n'));
    const QString number = version.output.mid(7).chopped(1);
    CAboutDlg about;
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.join(u'|').contains(U("Orvmon, версия ") + number + u'\n')) << texts.join(u'|').toStdString();
}

// With a 10-second period nothing else would repaint the title for ten seconds.
TEST(ShellTexts, TheTitleShowsANewPeriodAsSoonAsItsDialogCloses) {
    ProgramState state;
    CMainFrame frame(state);
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    state.Display.DisplayListReady = 1;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QApplication::processEvents();
    ASSERT_EQ(state.Shell.RefreshTimerId, 0u);  // no refresh tick in this test

    CTitleView* title = frame.TitleView();
    // The title pane's pixels as the window's backing store holds them: what the screen shows.
    const auto onScreen = [&] {
        const QPoint at = title->mapTo(&frame, QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(frame.winId(), at.x(), at.y(), title->width(), title->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto drawn = [&](int32_t periodMs) {
        TitleValues values;
        values.deviceState = 0;
        values.acquisitionMode = 1;
        values.displayListReady = 1;
        values.refreshPeriodMs = periodMs;
        QImage image(title->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        CTitleView::DrawTitlePane(painter, DrawTitle(values), image.rect());
        return image;
    };
    ASSERT_EQ(onScreen(), drawn(1000));

    ScopedScript script;
    script->OnDialog([](QDialog& d) {
        test::Find<QPlainTextEdit>(d, 1009)->setPlainText(QStringLiteral("10000"));
        test::Press(d, kIdOk);
    });
    frame.Command(32777)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
    ASSERT_EQ(state.Shell.RefreshPeriodMs, 10000);
    EXPECT_EQ(onScreen(), drawn(10000));
}

QStringList TextsOf(const QWidget& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* l : dialog.findChildren<QLabel*>())
        if (l->isVisibleTo(&dialog)) texts << l->text();
    for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isVisibleTo(&dialog)) texts << b->text();
    for (const QGroupBox* g : dialog.findChildren<QGroupBox*>())
        if (g->isVisibleTo(&dialog)) texts << g->title();
    texts.removeAll(QString());
    return texts;
}

// Shows a message box as the program does and returns its button captions, pressing the last.
QStringList MessageButtons(Buttons buttons) {
    QStringList captions;
    QTimer::singleShot(0, [&captions] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* b : box->buttons()) captions << b->text();
        box->buttons().back()->click();
    });
    ShowMessage(nullptr, QStringLiteral("?"), buttons);
    captions.sort();
    return captions;
}

TEST(ShellTexts, QtsOwnDialogsSpeakRussianAndTheProgramsMessageBoxesKeepTheirCaptions) {
    std::unique_ptr<QTranslator> russian(InstallQtRussian(*QCoreApplication::instance()));
    ASSERT_NE(russian, nullptr) << kQtRussianTranslation
                                << " was not found: install Debian's qt6-translations-l10n (scripts/install-deps)";

    // The save dialog of the exports.
    QStringList fileTexts;
    {
        ScopedScript script;
        script->OnDialog([&](QDialog& d) {
            EXPECT_NE(qobject_cast<QFileDialog*>(&d), nullptr);
            fileTexts = TextsOf(d);
            d.reject();
        });
        EXPECT_TRUE(ChooseSaveFile(nullptr, U("Сохранить таблицу"), QStringLiteral("t.csv"),
                                   QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"))
                        .isEmpty());
    }
    for (const char* english : {"Look in:", "&File name:", "Files of type:", "&Save", "Cancel"})
        EXPECT_FALSE(fileTexts.contains(QString::fromLatin1(english))) << english;
    for (const char* russianText : {"Перейти к:", "&Имя файла:", "Типы файлов:", "&Сохранить", "Отмена"})
        EXPECT_TRUE(fileTexts.contains(U(russianText))) << russianText << ": " << fileTexts.join(u'|').toStdString();

    // The print dialog of Ctrl+P.
    QStringList printTexts;
    {
        ProgramState state;
        COrvmonView view(state);
        ScopedScript script;
        script->OnDialog([&](QDialog& d) {
            EXPECT_NE(qobject_cast<QPrintDialog*>(&d), nullptr);
            printTexts = TextsOf(d);
            d.reject();
        });
        EXPECT_FALSE(PrintTableWithDialog(view, state, nullptr));
    }
    for (const char* english : {"Print", "&Print", "Printer", "Cancel", "Properties"})
        EXPECT_FALSE(printTexts.contains(QString::fromLatin1(english))) << english;
    for (const char* russianText : {"Печать", "Отмена"})
        EXPECT_TRUE(printTexts.contains(U(russianText))) << russianText << ": " << printTexts.join(u'|').toStdString();

    // A mistake on the command line is told in Qt's Russian, the usage naming the program.
    const CommandLine mistake = ParseCommandLine({QStringLiteral("/opt/x/orvmon"), QStringLiteral("--colour")});
    EXPECT_EQ(mistake.exitCode, 2);
    EXPECT_TRUE(mistake.output.contains(U("\nИспользование: orvmon [параметры]\n"))) << mistake.output.toStdString();

    // The program's own boxes keep the captions the Russian system gives them.
    EXPECT_EQ(MessageButtons(Buttons::Ok), QStringList{QStringLiteral("OK")});
    EXPECT_EQ(MessageButtons(Buttons::OkCancel), (QStringList{QStringLiteral("OK"), U("Отмена")}));
    EXPECT_EQ(MessageButtons(Buttons::YesNoCancel), (QStringList{U("Да"), U("Нет"), U("Отмена")}));
}

}  // namespace
}  // namespace orv::ui
