#pragma once
// The program's message boxes. Whatever they are given to say (a file name of
// 10,000 characters, a script error of thousands of lines) they fit the
// screen: over-long words are shortened in the middle, extra lines are left
// out, and the whole text stays in the box's details, where it scrolls and
// can be copied. Texts are always plain: a file name is never read as markup.
#include <QMessageBox>

class QFontMetrics;

class TMessageBox : public QMessageBox {
public:
    TMessageBox(Icon icon, const QString& caption, const QString& text,
                StandardButtons buttons = Ok, QWidget* parent = nullptr);

    // Replaces the text, shortened for the screen the box will appear on.
    void SetText(const QString& text);
    // The text as given, before any shortening.
    QString FullText() const { return fullText_; }

    // Modal boxes with OK, and a question with the buttons given.
    static void Error(QWidget* parent, const QString& caption, const QString& text);
    static void Warn(QWidget* parent, const QString& caption, const QString& text);
    static void Inform(QWidget* parent, const QString& caption, const QString& text);
    static StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                              StandardButtons buttons = Yes | No);
    // The program's own fixed text, which may carry markup.
    static void About(QWidget* parent, const QString& caption, const QString& richText);

private:
    // What the box shows of text: no word wider than maxWidth pixels, at most
    // maxRows rows once long lines wrap. Unchanged when it already fits.
    static QString Shortened(const QString& text, const QFontMetrics& metrics, int maxWidth,
                             int maxRows);

    QString fullText_;
};
