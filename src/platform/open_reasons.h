#pragma once

#include <QString>

// Why the desktop could not open a file, as the windows say it; `path` is shown in native form and
// `said` (the desktop's own words, perhaps in English) follows when there are any.
QString FileNotFoundReason(const QString& path);
QString NoOpenerReason(const QString& path);
QString NoProgramReason(const QString& path, const QString& said = {});
QString NotOpenedReason(const QString& path, const QString& said = {});
// The file waits on a folder root (a share) that does not answer, named `root`.
QString NoAnswerReason(const QString& path, const QString& root);
