#pragma once

class QLineEdit;

// Limits what can be typed into an edit to `maxBytes` code-page bytes (a double-byte character
// counts two, as in the database) and refuses characters the code page cannot hold, telling the
// user why beside the edit. Texts put in by the program itself are not limited.
void LimitCp932Bytes(QLineEdit* edit, int maxBytes);
