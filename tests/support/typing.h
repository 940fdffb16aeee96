#pragma once

#include <QString>

class QLineEdit;

// Types `text` into the edit key by key; characters beyond Latin-1 arrive as the input method
// commits them.
void Type(QLineEdit* edit, const QString& text);
// Empties the edit as the user does: select all, delete.
void Erase(QLineEdit* edit);
// Replaces the edit's text the way the user does.
void Retype(QLineEdit* edit, const QString& text);
