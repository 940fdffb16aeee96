#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

class Prompts;
class QLineEdit;

// The refusal of a quote in an entry: every quote would end its SQL literal or the stored text.
QString QuoteMessage();
bool HasQuote(const QString& text);

// Tells the user why the entry of `edit` was refused and puts the focus there.
void RefuseEntry(Prompts& prompts, QLineEdit* edit, const QString& message);

// The text of an entry as it is to be stored (possibly reworked from what the edit shows).
struct Entry {
    QLineEdit* edit;
    QString text;
};

// The entries' texts as code-page bytes, in order. Nothing, after refusing the first entry that holds
// a character the code page cannot represent (a stored text that was damaged already, a picture's
// file name): such a text is never stored as '?'.
std::optional<std::vector<std::string>> EntryBytes(Prompts& prompts, const std::vector<Entry>& entries);
