#include "typing/gui/SuggestStyle.h"

#include <QPalette>

namespace SuggestStyle {

uint32_t ToWinColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

QColor FromWinColor(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont ToFont(const TFontSpec& spec, const QFont& base) {
    QFont f = base;
    if (!spec.Name.isEmpty()) f.setFamily(spec.Name);
    if (spec.Size > 0) f.setPointSize(spec.Size);
    f.setBold(spec.Bold);
    return f;
}

void SetBackground(QWidget* window, const QColor& color) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, color);
    // Text stays readable on a dark colour.
    const QColor text = color.lightness() < 110 ? QColor(Qt::white) : QColor(0x20, 0x20, 0x20);
    pal.setColor(QPalette::WindowText, text);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

} // namespace SuggestStyle
