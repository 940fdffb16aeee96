#pragma once

#include <string>
#include <string_view>

struct sqlite3;

// The words the search index keeps of a stored text (code-page bytes): its characters folded as the
// search folds them (see search_text.h), every run of three from each position, and at its end the
// last two and the last one, so that each position starts a word. A text found by the search holds
// the search text's characters at some position: every run of three of them is among its words,
// and one or two begin one of its words. So the index finds every text the search finds, whole
// characters only, without turning the code page into another character set (which would merge
// characters the code page keeps apart), and few others: the search decides on what it found.

// Makes the index's tokenizer known to `connection` as "qarto"; false when SQLite has no FTS5.
bool AddIndexTokenizer(sqlite3* connection);

// The full-text query (FTS5 syntax) that matches every text holding `cp932`, an unfolded or folded
// search text without NUL bytes.
std::string IndexQuery(std::string_view cp932);
