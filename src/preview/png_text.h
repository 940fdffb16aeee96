#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

// A PNG file with text keys added as tEXt chunks right after its header chunk. Qt's writer puts a
// text longer than 40 characters into a compressed zTXt chunk, which GLib (and with it GNOME's
// file manager and the GTK file chooser) does not read when it checks a thumbnail's keys. Keys and
// texts are Latin-1, as tEXt holds them. The file as it was when it does not begin with a header.
QByteArray WithTextChunks(const QByteArray& png, const QList<std::pair<QByteArray, QByteArray>>& keys);
