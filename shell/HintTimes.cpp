#include "shell/HintTimes.h"

#include <QApplication>
#include <QProxyStyle>

namespace {
constexpr int kHintPauseMsec = 400;

class THintTimesStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return kHintPauseMsec;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};
} // namespace

void ApplyHintTimes() {
    if (dynamic_cast<THintTimesStyle*>(QApplication::style())) return;
    QApplication::setStyle(new THintTimesStyle);
}
