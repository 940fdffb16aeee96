#include "storage/validation_report.h"

#include <gtest/gtest.h>

namespace {

// The lines of Firebird's online validation as a server sends them.
const std::string kBusy =
    "00:28:06.15 Relation 130 (GRP_2)\n"
    "00:28:09.15 Acquire relation lock failed\n"
    "00:28:09.15 Relation 130 (GRP_2) : 1 ERRORS found\n\n";
const std::string kSound =
    "00:28:09.15 Relation 131 (GRP_3)\n"
    "00:28:09.15   process pointer page    0 of    1\n"
    "00:28:09.15 Index 1 (RDB$4)\n"
    "00:28:09.15 Relation 131 (GRP_3) is ok\n\n";

std::string Validation(const std::string& tables) {
    return "00:28:06.15 Validation started\n\n" + tables + "00:28:09.16 Validation finished\n";
}

}  // namespace

TEST(JudgeValidation, aTableThatCouldNotBeLockedIsOwedAndOneWithDamagedPagesIsDamage) {
    EXPECT_EQ(JudgeValidation(Validation(kSound)).soundness, Soundness::Sound);

    const ValidationReport busy = JudgeValidation(Validation(kSound + kBusy));
    EXPECT_EQ(busy.soundness, Soundness::Unknown);
    EXPECT_EQ(busy.busyTables, std::vector<std::string>{"GRP_2"});

    const std::string damaged =
        "00:28:09.15 Relation 132 (GRP_4)\n"
        "00:28:09.15   process pointer page    0 of    1\n"
        "00:28:09.15 Data page 214 (sequence 0) is confused\n"
        "00:28:09.15 Relation 132 (GRP_4) : 1 ERRORS found\n\n";
    EXPECT_EQ(JudgeValidation(Validation(kBusy + damaged + kSound)).soundness, Soundness::Damaged);
    // A lock that failed for the garbage collection after one error of its own is damage too.
    const std::string both =
        "00:28:09.15 Relation 133 (GRP_5)\n"
        "00:28:09.15 Record 12 has bad transaction 99999\n"
        "00:28:09.15 Acquire garbage collection lock failed\n"
        "00:28:09.15 Relation 133 (GRP_5) : 2 ERRORS found\n\n";
    EXPECT_EQ(JudgeValidation(Validation(both)).soundness, Soundness::Damaged);
}
