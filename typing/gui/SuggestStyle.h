#pragma once
// The look the suggestion window and the hint box share: the stored Windows
// colour value and font settings turned into Qt's.
#include "platform/FontSpec.h"

#include <QColor>
#include <QFont>
#include <QWidget>

// What the suggestion window takes from the settings.
struct TSuggestionStyle {
    TFontSpec Font;
    uint32_t Color = 8454143; // 0x00BBGGRR
    // Extra word characters.
    QString AlphaChars;
    // AutoReplaceOptions bits.
    uint16_t Options = 0;
    // TShiftStateBit set of the suggestion keys.
    uint8_t ShiftState = 0;
};

namespace SuggestStyle {
// 0x00BBGGRR.
QColor FromWinColor(uint32_t color);
uint32_t ToWinColor(const QColor& color);
// spec over base: an empty name or a size below 1 keeps base's.
QFont ToFont(const TFontSpec& spec, const QFont& base);
// Background of a window and of every child that paints none of its own.
void SetBackground(QWidget* window, const QColor& color);
} // namespace SuggestStyle
