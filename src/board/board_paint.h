#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

inline const QColor kSilver{0xC0, 0xC0, 0xC0};

// Gives the widget a background of its own: `color` for `role`.
void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& color);
