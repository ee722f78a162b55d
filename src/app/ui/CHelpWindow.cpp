#include "app/ui/CHelpWindow.h"

#include <QFile>

#include "resources/shell_strings.h"

namespace orv::ui {

CHelpWindow::CHelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlags(Qt::Window);
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QString::fromUtf8(text::kMenuHelp));
    setOpenExternalLinks(true);
    resize(820, 720);
    setMarkdown(GuideText());
}

QString CHelpWindow::GuideText() {
    QFile file(QStringLiteral(":/help/guide.ru.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

CHelpWindow* ShowHelpWindow(QWidget* parent) {
    auto* window = parent ? parent->findChild<CHelpWindow*>(QStringLiteral("help"), Qt::FindDirectChildrenOnly)
                          : nullptr;
    if (!window) window = new CHelpWindow(parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace orv::ui
