#pragma once
// Typing text with any characters (QTest::keyClicks takes only ASCII): one key event per
// character, carrying the character as its text, as a keyboard layout delivers it.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "support/ui/widget_test.h"

namespace orv::test {

inline void TypeText(const QWidget& dialog, int id, const QString& text) {
    auto* e = Find<QLineEdit>(dialog, id);
    if (!e) return;
    e->clear();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &release);
    }
}

}  // namespace orv::test
