#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/picture_isolation.h"

namespace {

constexpr std::chrono::milliseconds kShortLimit{500};

std::optional<MetafileSvg> Echo(const QByteArray& bytes) {
    return MetafileSvg{bytes, QSize(3, 4)};
}

std::optional<MetafileSvg> Refuse(const QByteArray&) {
    return std::nullopt;
}

std::optional<MetafileSvg> Crash(const QByteArray&) {
    std::raise(SIGSEGV);
    return std::nullopt;
}

std::optional<MetafileSvg> Abort(const QByteArray&) {
    std::abort();
}

std::optional<MetafileSvg> Hang(const QByteArray&) {
    for (;;) {
        pause();
    }
}

std::optional<MetafileSvg> Flood(const QByteArray&) {
    return MetafileSvg{QByteArray(qsizetype{100} << 20, 'x'), QSize(1, 1)};
}

// Touches 1.5 GiB: far more than any picture needs, and well within what the machine could give.
std::optional<MetafileSvg> Hoard(const QByteArray&) {
    std::vector<char> hoard(std::size_t{3} << 29, 1);
    return MetafileSvg{QByteArray(1, hoard.back()), QSize(1, 1)};
}

}  // namespace

TEST(MetafileIsolation, theConvertersAnswerComesBackWhole) {
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i) {  // more than a pipe holds at once
        bytes.append(static_cast<char>(i * 7));
    }
    const std::optional<MetafileSvg> answer = ConvertApart(&Echo, bytes);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->svg, bytes);
    EXPECT_EQ(answer->size, QSize(3, 4));
    EXPECT_FALSE(ConvertApart(&Refuse, bytes));
}

TEST(MetafileIsolation, aConverterThatCrashesHangsOrRunsAwayGivesNothingAndTheProgramGoesOn) {
    for (MetafileConverter convert : {&Crash, &Abort, &Hang, &Flood}) {
        EXPECT_FALSE(ConvertApart(convert, QByteArray("damaged"), kShortLimit));
    }
    // Given all the time it wants, a converter still cannot take the memory of the machine.
    EXPECT_FALSE(ConvertApart(&Hoard, QByteArray("damaged")));
    const std::optional<MetafileSvg> after = ConvertApart(&Echo, QByteArray("fine"));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->svg, QByteArray("fine"));
}
