#include "support/typing.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80) {
            QTest::keyClick(edit, text[i].toLatin1());
            continue;
        }
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, length));
        QApplication::sendEvent(edit, &commit);
        i += length - 1;
    }
}

void Erase(QLineEdit* edit) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
}

void Retype(QLineEdit* edit, const QString& text) {
    Erase(edit);
    Type(edit, text);
}
