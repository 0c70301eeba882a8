#include "tags/InputFields.h"

#include "platform/Ansi.h"
#include "tags/ParseTxt.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace {

const QLatin1StringView kInput("{@INPUT");

struct TPrefix {
    QLatin1StringView Text;
    TInputKind Kind;
};
// Searched in this order: the longer prefixes first.
const TPrefix kPrefixes[] = {
    {QLatin1StringView("{@INPUTDATE"), TInputKind::Date},
    {QLatin1StringView("{@INPUTFILE"), TInputKind::File},
    {QLatin1StringView("{@INPUTTCL"), TInputKind::Tcl},
    {QLatin1StringView("{@INPUTMSG"), TInputKind::Message},
};

qsizetype PrefixLength(TInputKind kind) {
    switch (kind) {
    case TInputKind::Date:
    case TInputKind::File:
        return 11;
    case TInputKind::Tcl:
    case TInputKind::Message:
        return 10;
    default:
        return 7;
    }
}

// Removes the first " word" and tells whether it was there.
bool TakeFlag(QString& prompt, QLatin1StringView word) {
    const qsizetype at = prompt.indexOf(word);
    if (at < 0) return false;
    prompt.remove(at, word.size());
    return true;
}

// Removes the first " @KEY=" with its quoted value; the value goes to value.
bool TakeQuoted(QString& prompt, QLatin1StringView option, QString& value) {
    const qsizetype at = prompt.indexOf(option);
    if (at < 0) return false;
    const qsizetype open = prompt.indexOf(QLatin1Char('"'), at + option.size());
    const qsizetype close = open < 0 ? -1 : prompt.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0) {
        // Without both quotes there is no value; the option word alone goes.
        value.clear();
        prompt.remove(at, option.size());
        return true;
    }
    value = prompt.mid(open + 1, close - open - 1);
    prompt.remove(at, close + 1 - at);
    return true;
}

void AppendLe16(QByteArray& out, int v) {
    char b[2];
    qToLittleEndian<quint16>(static_cast<quint16>(v), b);
    out.append(b, 2);
}

const QDate kDateZero(1899, 12, 30);

} // namespace

TInputKind InputTagKind(QStringView tag) {
    for (const TPrefix& p : kPrefixes)
        if (tag.startsWith(p.Text, Qt::CaseInsensitive)) return p.Kind;
    if (!tag.startsWith(kInput, Qt::CaseInsensitive)) return TInputKind::None;
    return tag.contains(QLatin1Char('\r')) ? TInputKind::PickList : TInputKind::Text;
}

TInputField ParseInputTag(QStringView tag) {
    TInputField f;
    f.Kind = InputTagKind(tag);
    if (f.Kind == TInputKind::None) return f;
    // The tag ends with its "}"; a caller may pass one without it.
    const qsizetype bodyEnd = tag.endsWith(QLatin1Char('}')) ? tag.size() - 1 : tag.size();
    const qsizetype prefix = qMin(PrefixLength(f.Kind), bodyEnd);
    if (f.Kind == TInputKind::Tcl || f.Kind == TInputKind::Message) {
        f.Script = tag.mid(prefix, bodyEnd - prefix).toString().trimmed();
        return f;
    }
    qsizetype p = prefix;
    if (p < bodyEnd && tag[p] == QLatin1Char('(')) {
        qsizetype q = p + 1;
        while (q < bodyEnd && tag[q] != QLatin1Char(')') && tag[q] != QLatin1Char('\r'))
            ++q;
        f.Name = tag.mid(p + 1, q - p - 1).toString().trimmed();
        p = (q < bodyEnd && tag[q] == QLatin1Char(')')) ? q + 1 : q;
    }
    QString rest = tag.mid(p, bodyEnd - p).toString();
    if (f.Kind == TInputKind::PickList) {
        QStringList lines = rest.remove(QLatin1Char('\n')).split(QLatin1Char('\r'));
        rest = lines.takeFirst();
        f.ItemLines = lines;
        if (f.ItemLines.isEmpty()) f.ItemLines.append(QString());
    } else {
        rest.remove(QLatin1Char('\n'));
        if (f.Kind == TInputKind::Date || f.Kind == TInputKind::File)
            rest.replace(QLatin1Char('\r'), QLatin1Char(' '));
        else if (const qsizetype cr = rest.indexOf(QLatin1Char('\r')); cr >= 0)
            rest.truncate(cr);
    }
    QString prompt = QLatin1Char(' ') + rest;
    switch (f.Kind) {
    case TInputKind::Text:
        f.WantReturns = TakeFlag(prompt, QLatin1StringView(" @WANTRETURNS"));
        break;
    case TInputKind::PickList:
        f.Single = TakeFlag(prompt, QLatin1StringView(" @SINGLE"));
        f.GroupPrint = TakeFlag(prompt, QLatin1StringView(" @GROUPPRINT"));
        f.GroupBold = TakeFlag(prompt, QLatin1StringView(" @GROUPBOLD"));
        f.Groups = TakeFlag(prompt, QLatin1StringView(" @GROUP")) || f.GroupPrint || f.GroupBold;
        f.AutoNumber = TakeFlag(prompt, QLatin1StringView(" @AUTONUMBER"));
        if (!TakeQuoted(prompt, QLatin1StringView(" @SEP="), f.Separator))
            f.Separator = f.Single ? QString() : QStringLiteral(", ");
        break;
    case TInputKind::Date:
        f.Long = TakeFlag(prompt, QLatin1StringView(" @LONG"));
        break;
    default:
        break;
    }
    TakeQuoted(prompt, QLatin1StringView(" @ONSHOW="), f.OnShow);
    f.Prompt = prompt.trimmed();
    return f;
}

QList<TPickItem> PickItems(const TInputField& field) {
    QList<TPickItem> items;
    items.reserve(field.ItemLines.size());
    int number = 0;
    for (const QString& line : field.ItemLines) {
        TPickItem item;
        QString value = line;
        if (field.Groups && value.startsWith(QLatin1Char('*'))) {
            item.Header = true;
            value.remove(0, 1);
        }
        QString shown = value;
        const qsizetype rem = value.indexOf(QLatin1StringView("{@REM "), 0, Qt::CaseInsensitive);
        if (rem >= 0) {
            const qsizetype end = FindMatchingBrace(QStringView(value), rem);
            if (end > rem) {
                shown = value.mid(rem + 6, end - rem - 6);
                value.remove(rem, end + 1 - rem);
            }
        }
        if (field.AutoNumber && !item.Header)
            shown = QString::number(++number) + QLatin1StringView(". ") + shown;
        item.Shown = shown;
        item.Value = value;
        items.append(item);
    }
    return items;
}

QString InputPlaceholder(int n) {
    return QStringLiteral("{@INPUT FIELD #%1}").arg(n);
}

TTagSpan FindInputTag(QStringView text, qsizetype from) {
    for (qsizetype at = text.indexOf(kInput, from, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(kInput, at + kInput.size(), Qt::CaseInsensitive)) {
        const qsizetype end = FindMatchingBrace(text, at);
        if (end > at) return {at, end};
    }
    return {};
}

QByteArray TextValue(const QString& text) {
    QByteArray v = Ansi::FromUnicode(text);
    v.append('\0');
    return v;
}

QString ValueText(const QByteArray& value) {
    const qsizetype nul = value.indexOf('\0');
    return Ansi::ToUnicode(nul < 0 ? value : value.left(nul));
}

QByteArray PickListValue(const QList<TPickItem>& items, const TInputField& field,
                         const QList<int>& chosen) {
    QList<int> order;
    for (int i : chosen)
        if (i >= 0 && i < items.size() && !items[i].Header && !order.contains(i)) order.append(i);
    std::sort(order.begin(), order.end());
    QString text;
    int header = -1, printedHeader = -1;
    for (int i = 0, k = 0; i < items.size() && k < order.size(); ++i) {
        if (items[i].Header) {
            header = i;
            continue;
        }
        if (i != order[k]) continue;
        if (field.GroupPrint && header >= 0 && header != printedHeader) {
            text += items[header].Value;
            printedHeader = header;
        }
        text += items[i].Value;
        if (++k < order.size()) text += field.Separator;
    }
    QByteArray v = TextValue(text);
    for (int i : order)
        AppendLe16(v, i);
    return v;
}

QList<int> PickListIndexes(const QByteArray& value, int count) {
    QList<int> out;
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0) return out;
    for (qsizetype p = nul + 1; p + 1 < value.size(); p += 2) {
        const int i = qFromLittleEndian<quint16>(value.constData() + p);
        if (i < count) out.append(i);
    }
    return out;
}

QString FormatInputDate(const QDate& date, bool longFormat, const QLocale& locale) {
    return locale.toString(date, longFormat ? QLocale::LongFormat : QLocale::ShortFormat);
}

QByteArray DateValue(const QDate& date, bool longFormat, const QLocale& locale) {
    QByteArray v = TextValue(FormatInputDate(date, longFormat, locale));
    v.append(longFormat ? 'L' : 'S');
    char b[8];
    qToLittleEndian<double>(static_cast<double>(kDateZero.daysTo(date)), b);
    v.append(b, 8);
    return v;
}

bool ReadDateValue(const QByteArray& value, QDate& date, bool& longFormat) {
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0 || value.size() - nul - 1 < 9) return false;
    const char* tail = value.constData() + value.size() - 9;
    const double days = qFromLittleEndian<double>(tail + 1);
    // A date outside what a calendar can show is no answer to offer again.
    if (!(days > -657434.0 && days < 2958466.0)) return false;
    date = kDateZero.addDays(static_cast<qint64>(days));
    longFormat = tail[0] == 'L';
    return true;
}

QString InputFilePath(const QString& name, const QString& dictFolder) {
    QString n = name.trimmed();
    if (n.size() >= 2 && n.startsWith(QLatin1Char('"')) && n.endsWith(QLatin1Char('"')))
        n = n.mid(1, n.size() - 2);
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (n.isEmpty() || QFileInfo(n).isAbsolute() || n.contains(QLatin1Char('/')) ||
        dictFolder.isEmpty())
        return n;
    return QDir(dictFolder).filePath(n);
}

QString InputFileError(const QString& name) {
    return QStringLiteral("An error occurred while executing the tag\r\n{@INPUTFILE ") + name +
           QStringLiteral("}\r\n\r\nUnable to open the input file\r\n") + name;
}

int TclResultCode(const QByteArray& result) {
    if (result == "BX_CANCEL") return nav::Cancel;
    if (result == "BX_BACK") return nav::Back;
    if (result == "BX_RESTART") return nav::Restart;
    return nav::Next;
}

void HideInputTags(QString& text, int first, TKeptTags& kept) {
    kept.First = first;
    kept.Tags.clear();
    int n = first;
    for (TTagSpan s = FindInputTag(text); s.Start >= 0;) {
        kept.Tags.append(text.mid(s.Start, s.End + 1 - s.Start));
        const QString placeholder = InputPlaceholder(n++);
        text.replace(s.Start, s.End + 1 - s.Start, placeholder);
        s = FindInputTag(text, s.Start + placeholder.size());
    }
}

void RestoreInputTags(QString& text, TKeptTags& kept) {
    qsizetype from = 0;
    for (int i = 0; i < kept.Tags.size(); ++i) {
        const QString placeholder = InputPlaceholder(kept.First + i);
        const qsizetype at = text.indexOf(placeholder, from, Qt::CaseInsensitive);
        if (at < 0) continue;
        text.replace(at, placeholder.size(), kept.Tags[i]);
        from = at + kept.Tags[i].size();
    }
    kept.Tags.clear();
}
