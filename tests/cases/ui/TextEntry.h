#pragma once

// How a user puts text into a box, for the tests of names that must lose control characters.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

// Typed key by key (the box drops what it cannot show, such as ESC and line breaks, but keeps format
// characters), pasted, or committed by an input method.
enum class Entry { Typed, Pasted, InputMethod };

inline void Enter(QLineEdit *box, Entry how, const QString &text)
{
    box->setFocus();
    switch (how) {
    case Entry::Typed:
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        break;
    case Entry::Pasted:
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        break;
    case Entry::InputMethod: {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
        break;
    }
    }
}
