#include "dictionary/DictPrint.h"

#include "dictionary/DictList.h"
#include "platform/Ansi.h"

namespace {
// Control characters other than tab and line breaks would upset a viewer or
// a printer (a form feed starts a page): they become blanks.
QByteArray Printable(QByteArray text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 && u != 9 && u != 10 && u != 13) c = ' ';
    }
    return text;
}
} // namespace

QByteArray PrintListing(const TDictionaryList& list, const QString& fileName,
                        const QString& printed) {
    QByteArray out;
    out.reserve(list.TotalChars() + 64 * qint64(list.Count()) + 256);
    out += "File: " + Ansi::FromUnicode(fileName) + "\r\n";
    out += "Printed: " + Ansi::FromUnicode(printed) + "\r\n";
    for (int i = 0; i < list.Count(); ++i) {
        const TDictionaryItem* item = list.GetItem(i);
        if (item->GetLinked() != 0) continue;
        out += "\r\n\r\nKEYWORD: " + Printable(item->GetKeyword()) + "\r\n";
        out += "DESCRIPTION: " + Printable(item->GetDescription()) + "\r\n";
        out += Printable(item->GetText());
    }
    return out;
}
