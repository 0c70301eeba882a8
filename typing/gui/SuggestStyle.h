#pragma once
// The look the suggestion window and the hint box share: the stored Windows
// colour value and font settings turned into Qt's.
#include "shell/Settings.h"

#include <QColor>
#include <QFont>
#include <QWidget>

namespace SuggestStyle {
// 0x00BBGGRR.
QColor FromWinColor(uint32_t color);
// spec over base: an empty name or a size below 1 keeps base's.
QFont ToFont(const TFontSpec& spec, const QFont& base);
// Background of a window and of every child that paints none of its own.
void SetBackground(QWidget* window, const QColor& color);
} // namespace SuggestStyle
