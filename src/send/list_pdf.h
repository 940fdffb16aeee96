#pragma once

#include <QByteArray>
#include <QString>

struct DrawingList;

// The family of an installed font that holds Japanese (IPA or Noto Gothic first); empty when there is
// none.
QString JapaneseFontFamily();

// The list as a PDF on A4 (landscape: the table is wide), in `family`, which the PDF embeds: the
// heading, the table with its column titles on every page, the totals after it and "n / m" at the foot
// of each page. Safe on any thread.
QByteArray PdfOfList(const DrawingList& list, const QString& family);
