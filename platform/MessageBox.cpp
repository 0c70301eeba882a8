#include "platform/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace {

// QMessageBox wraps its text once it is wider than half the screen (at most
// 500 pixels); words kept below that, less the icon, never force it wider.
constexpr int kWrapLimit = 500;
constexpr int kIconAndMargins = 100;

QScreen* ScreenFor(const QWidget* parent) {
    if (parent && parent->screen()) return parent->screen();
    return QGuiApplication::primaryScreen();
}

// Rows a line takes once wrapped at maxWidth; wrapping at word boundaries
// leaves rows part empty, so this errs on the high side.
int Rows(int width, int maxWidth) {
    return 1 + width / std::max(1, maxWidth * 3 / 4);
}

QString ShortenedWords(const QString& line, const QFontMetrics& metrics, int maxWidth) {
    QStringList words = line.split(QLatin1Char(' '));
    for (QString& w : words)
        if (metrics.horizontalAdvance(w) > maxWidth)
            w = metrics.elidedText(w, Qt::ElideMiddle, maxWidth);
    return words.join(QLatin1Char(' '));
}

} // namespace

TMessageBox::TMessageBox(Icon icon, const QString& caption, const QString& text,
                         StandardButtons buttons, QWidget* parent)
    : QMessageBox(icon, caption, QString(), buttons, parent) {
    setTextFormat(Qt::PlainText);
    SetText(text);
}

void TMessageBox::SetText(const QString& text) {
    fullText_ = text;
    const QScreen* screen = ScreenFor(parentWidget());
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const int maxWidth = std::max(100, std::min(area.width() / 2, kWrapLimit) - kIconAndMargins);
    // Half the height for the text: the rest is the buttons, the frame and
    // the details when they are opened.
    const QFontMetrics metrics(QApplication::font("QMessageBoxLabel"));
    const int maxRows = std::max(3, area.height() / 2 / std::max(1, metrics.lineSpacing()));
    const QString shown = Shortened(text, metrics, maxWidth, maxRows);
    setText(shown);
    setDetailedText(shown == text ? QString() : text);
}

QString TMessageBox::Shortened(const QString& text, const QFontMetrics& metrics, int maxWidth,
                               int maxRows) {
    const QString plain = QString(text).remove(QLatin1Char('\r'));
    QStringList lines = plain.split(QLatin1Char('\n'));
    std::vector<int> rows;
    int total = 0;
    for (QString& line : lines) {
        line = ShortenedWords(line, metrics, maxWidth);
        rows.push_back(Rows(metrics.horizontalAdvance(line), maxWidth));
        total += rows.back();
    }
    if (total <= maxRows) {
        const QString shown = lines.join(QLatin1Char('\n'));
        return shown == plain ? text : shown;
    }
    // One row stays free for the note that says what was left out.
    QStringList out;
    int used = 0;
    qsizetype i = 0;
    for (; i < lines.size() && used + rows[i] <= maxRows - 1; ++i) {
        used += rows[i];
        out << lines[i];
    }
    const int left = maxRows - 1 - used;
    if (left > 0) {
        out << metrics.elidedText(lines[i], Qt::ElideRight, left * maxWidth * 3 / 4 - 1);
        ++i;
    }
    const qsizetype more = lines.size() - i;
    const char* note = more == 0   ? "...: see the details."
                       : more == 1 ? "... and 1 more line: see the details."
                                   : "... and %1 more lines: see the details.";
    out << QCoreApplication::translate("TMessageBox", note).arg(more);
    return out.join(QLatin1Char('\n'));
}

void TMessageBox::Error(QWidget* parent, const QString& caption, const QString& text) {
    TMessageBox(Critical, caption, text, Ok, parent).exec();
}

void TMessageBox::Warn(QWidget* parent, const QString& caption, const QString& text) {
    TMessageBox(Warning, caption, text, Ok, parent).exec();
}

void TMessageBox::Inform(QWidget* parent, const QString& caption, const QString& text) {
    TMessageBox(Information, caption, text, Ok, parent).exec();
}

QMessageBox::StandardButton TMessageBox::Ask(QWidget* parent, const QString& caption,
                                             const QString& text, StandardButtons buttons) {
    return static_cast<StandardButton>(
        TMessageBox(Question, caption, text, buttons, parent).exec());
}

void TMessageBox::About(QWidget* parent, const QString& caption, const QString& richText) {
    QMessageBox::about(parent, caption, richText);
}
