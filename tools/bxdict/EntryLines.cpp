#include "tools/bxdict/EntryLines.h"

#include "platform/Ansi.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

namespace {

const QStringList kKeys = {"keyword", "description", "text", "shortcut", "flags"};

QString ToAnsi(const QJsonValue& value, const QString& key, QByteArray& out) {
    if (!value.isString()) return QStringLiteral("\"%1\" must be a string").arg(key);
    return AnsiField(value.toString(), key, out);
}

QString ToWord(const QJsonValue& value, const QString& key, uint16_t& out) {
    if (value.isUndefined()) return {};
    const double d = value.toDouble(-1);
    if (!value.isDouble() || d < 0 || d > 65535 || d != static_cast<int>(d))
        return QStringLiteral("\"%1\" must be an integer from 0 to 65535").arg(key);
    out = static_cast<uint16_t>(d);
    return {};
}

// Fills the entry from one object; returns the first problem.
QString FromObject(const QJsonObject& o, TDictionaryItem& item) {
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!kKeys.contains(it.key())) return QStringLiteral("unknown key \"%1\"").arg(it.key());
    for (const char* required : {"keyword", "text"})
        if (!o.contains(QLatin1String(required)))
            return QStringLiteral("\"%1\" is missing").arg(QLatin1String(required));
    QByteArray keyword, description, text;
    uint16_t shortcut = 0, flags = 0;
    QString problem = ToAnsi(o.value("keyword"), "keyword", keyword);
    if (problem.isEmpty()) problem = ToAnsi(o.value("text"), "text", text);
    if (problem.isEmpty() && o.contains("description"))
        problem = ToAnsi(o.value("description"), "description", description);
    if (problem.isEmpty()) problem = ToWord(o.value("shortcut"), "shortcut", shortcut);
    if (problem.isEmpty()) problem = ToWord(o.value("flags"), "flags", flags);
    if (!problem.isEmpty()) return problem;
    item.SetKeyword(keyword);
    if (item.GetKeyword().isEmpty()) return QStringLiteral("the keyword is empty");
    item.SetDescription(description);
    item.SetText(text);
    item.SetShortcut(shortcut);
    item.SetFlags(flags);
    return item.StorageProblem();
}

} // namespace

QString AnsiField(const QString& value, const QString& key, QByteArray& out) {
    out = Ansi::FromUnicode(value);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value[i];
        if (ch.unicode() == 0) return QStringLiteral("\"%1\" holds a NUL character").arg(key);
        if (Ansi::CharFromUnicode(ch)) continue;
        // A character beyond the basic plane is named whole, not by its halves.
        const char32_t code =
            ch.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()
                ? QChar::surrogateToUcs4(ch, value[i + 1])
                : ch.unicode();
        return QStringLiteral("\"%1\" holds U+%2, which Windows-1252 cannot represent")
            .arg(key)
            .arg(QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, '0'));
    }
    return {};
}

QString EntryFromJsonLine(const QByteArray& line, TDictionaryItem& item) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("not valid JSON (%1)").arg(parseError.errorString());
    if (!doc.isObject()) return QStringLiteral("expected a JSON object");
    return FromObject(doc.object(), item);
}

QStringList ReadEntryLines(const QByteArray& input, TDictionaryList& list) {
    QStringList problems;
    QHash<QByteArray, int> lineOf;
    const QList<QByteArray> lines = input.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i + 1);
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        auto fail = [&](const QString& why) {
            problems << QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        };
        auto item = std::make_unique<TDictionaryItem>();
        const QString problem = EntryFromJsonLine(line, *item);
        if (!problem.isEmpty()) {
            fail(problem);
            continue;
        }
        const QByteArray keyword = item->GetKeyword();
        if (list.Add(item.get()) < 0) {
            const int first = lineOf.value(list.GetKeywordAt(list.IndexOfKeyword(keyword)));
            fail(QStringLiteral("duplicate keyword \"%1\" (first on line %2)")
                     .arg(Ansi::ToUnicode(keyword))
                     .arg(first));
            continue;
        }
        item.release();
        lineOf.insert(keyword, lineNo);
    }
    return problems;
}
