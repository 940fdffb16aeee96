#pragma once

#include <QFont>

// The windows' designed face "ＭＳ ゴシック" at a pixel height. It exists only on Windows, so the
// installed Japanese Gothic faces follow it in the family list.
QFont DesignedFont(int pixelSize);
