#include "dictionary/DictItemGui.h"

#include "dictionary/DictItem.h"
#include "platform/Ansi.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

namespace DictItemGui {

// Line breaks are CR LF inside Brevix and LF in a Qt text control.
void TextToControl(const TDictionaryItem& item, QPlainTextEdit& control) {
    QString text = Ansi::ToUnicode(item.GetText());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    control.setPlainText(text);
}

void TextFromControl(TDictionaryItem& item, const QPlainTextEdit& control) {
    QString text = control.toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    item.SetText(Ansi::FromUnicode(text));
}

void CopyTextToClipboard(const TDictionaryItem& item) {
    QGuiApplication::clipboard()->setText(Ansi::ToUnicode(item.GetText()));
}

} // namespace DictItemGui
