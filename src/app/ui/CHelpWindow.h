#pragma once
// The help window: the user guide (Markdown built into the program) in a text browser. One
// window per main window; the help command brings it forward when it is already open.

#include <QTextBrowser>

namespace orv::ui {

class CHelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The Markdown text of the guide (empty if the resource is missing).
    static QString GuideText();
};

// The help command: opens the help window over `parent` (or brings it forward) and returns it.
CHelpWindow* ShowHelpWindow(QWidget* parent);

}  // namespace orv::ui
