#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <optional>

#include "platform/picture_metafile.h"

class QProcess;

using MetafileConverter = std::optional<MetafileSvg> (*)(const QByteArray& bytes);

// How long one metafile conversion may take before it is given up.
inline constexpr std::chrono::milliseconds kConversionTimeLimit{5000};
// The largest answer taken back from work run apart.
inline constexpr qsizetype kLargestAnswer = qsizetype{64} << 20;

// Runs `work` so that a crash, a hang or a runaway allocation inside it cannot take the program
// down: on POSIX in a short-lived child process whose address space is capped at 1 GiB beyond the
// program's and that is killed when it outlives `timeLimit`, its answer coming back through a pipe;
// on Windows in this process. Nothing when the work answered nothing, failed in any of these ways or
// answered more than `largestAnswer` bytes. In the child only the calling thread exists: the work
// must not wait for a lock another thread of the program might have held.
std::optional<QByteArray> RunApart(const std::function<std::optional<QByteArray>()>& work,
                                   std::chrono::milliseconds timeLimit,
                                   qsizetype largestAnswer = kLargestAnswer);

// Gives the program a QProcess starts the memory cap of work run apart and a process group of its
// own, which EndProcessGroup ends with every process in it (on POSIX; on Windows nothing). Call
// before starting it.
void SetUpApartProcess(QProcess& process);
// Kills every process of the group led by the process `leader` (its process id when it started),
// including those it started and left behind. On Windows nothing.
void EndProcessGroup(qint64 leader);

// Runs a metafile converter apart from the program, as RunApart does.
std::optional<MetafileSvg> ConvertApart(MetafileConverter convert, const QByteArray& bytes,
                                        std::chrono::milliseconds timeLimit = kConversionTimeLimit);
