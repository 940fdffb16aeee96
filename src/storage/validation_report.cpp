#include "storage/validation_report.h"

#include <cstdlib>
#include <sstream>

namespace {

// The errors a table has when the validation could not lock it; it walked nothing of it.
bool IsLockFailure(const std::string& line) {
    return line.find("Acquire relation lock failed") != std::string::npos ||
           line.find("Acquire garbage collection lock failed") != std::string::npos;
}

// "Relation 130 (GRP_2) : 1 ERRORS found": the name between the parentheses.
std::string TableOf(const std::string& line) {
    const std::size_t open = line.find("Relation ");
    const std::size_t from = line.find('(', open);
    const std::size_t to = line.find(')', from);
    return open == std::string::npos || to == std::string::npos ? std::string()
                                                                : line.substr(from + 1, to - from - 1);
}

}  // namespace

ValidationReport JudgeValidation(std::string words) {
    ValidationReport report{Soundness::Sound, std::move(words), {}};
    std::istringstream lines(report.words);
    long lockFailures = 0;  // of the table being walked
    bool damaged = false;
    for (std::string line; std::getline(lines, line);) {
        if (IsLockFailure(line)) {
            ++lockFailures;
            continue;
        }
        const std::size_t found = line.find(" ERRORS found");
        if (found != std::string::npos) {
            const std::size_t number = line.find_last_of(':', found);
            const long errors =
                number == std::string::npos ? 0 : std::strtol(line.c_str() + number + 1, nullptr, 10);
            const std::string table = TableOf(line);
            if (errors > 0 && errors == lockFailures && !table.empty()) {
                report.busyTables.push_back(table);
            } else {
                damaged = true;
            }
        }
        if (line.find("Relation ") != std::string::npos) {
            lockFailures = 0;  // a table begins or ends
        }
    }
    if (damaged) {
        report.soundness = Soundness::Damaged;
    } else if (!report.busyTables.empty()) {
        report.soundness = Soundness::Unknown;
    }
    return report;
}
