#pragma once

#include <QString>

// The application title: captions every message box. The "－" is the full-width hyphen-minus.
inline QString ApplicationTitle() { return QStringLiteral("p738－Qartoグループ管理"); }
