#pragma once

#include <string>
#include <vector>

enum class Soundness { Sound, Damaged, Unknown };

struct ValidationReport {
    Soundness soundness = Soundness::Unknown;
    std::string words;  // what Firebird found (or why it could not look), UTF-8
    // Tables left unchecked because another connection held them longer than the validation's lock
    // time-out (a long write on another desktop): not damage, but the check is still owed.
    std::vector<std::string> busyTables;
};

// What Firebird's online validation said, table by table ("Relation 130 (GRP_2) is ok", or
// "... : 2 ERRORS found" after the lines of its errors): damaged where a page, record, index or
// blob error was found; unknown, naming the tables, where the only errors are tables it could not
// lock; sound otherwise.
ValidationReport JudgeValidation(std::string words);
