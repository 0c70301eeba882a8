// Beeftext keeps its combos in one JSON file: {"combos": [{"keyword",
// "snippet", "name", ...}], "groups": [...]}. Snippets hold variables #{...}.
#include "tools/convert/Formats.h"
#include "tools/convert/InputTags.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Formats {

namespace {

constexpr int kMaxComboDepth = 8;
// Combos that include each other could multiply a text beyond any use.
constexpr qsizetype kMaxTextChars = 16 * 1024 * 1024;

QString Snippet(const QJsonObject& combo) {
    for (const char* key : {"snippet", "substitutionText", "text"})
        if (combo.value(QLatin1String(key)).isString())
            return combo.value(QLatin1String(key)).toString();
    return {};
}

class TSnippetReader {
public:
    TSnippetReader(const QHash<QString, QString>& snippets, TImportBatch& batch, QString where)
        : snippets_(snippets), batch_(batch), where_(std::move(where)) {}

    // The snippet in our tag language; false after reporting a fault.
    bool Convert(const QString& snippet, QString& out, int depth = 0) {
        qsizetype pos = 0;
        while (pos < snippet.size()) {
            const qsizetype open = snippet.indexOf(QStringLiteral("#{"), pos);
            const qsizetype close = open < 0 ? -1 : snippet.indexOf(QLatin1Char('}'), open + 2);
            if (close < 0) break;
            out += snippet.mid(pos, open - pos);
            const QString var = snippet.mid(open + 2, close - open - 2);
            pos = close + 1;
            if (!Variable(var, out, depth)) return false;
            if (out.size() > kMaxTextChars) {
                batch_.Fault(where_,
                             QStringLiteral("the snippet grows beyond %1 characters through "
                                            "the combos it includes")
                                 .arg(kMaxTextChars));
                return false;
            }
        }
        out += snippet.mid(pos);
        return true;
    }

private:
    bool Variable(const QString& var, QString& out, int depth) {
        const QString kind = var.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString arg = var.section(QLatin1Char(':'), 1);
        if (kind == QLatin1String("input")) {
            QString problem;
            const QString tag = tags_.Field({QString(), arg.trimmed(), {}, false}, &problem);
            if (!problem.isEmpty()) {
                batch_.Fault(where_, problem);
                return false;
            }
            out += tag;
            return true;
        }
        if (kind == QLatin1String("combo")) {
            const auto it = snippets_.constFind(arg.trimmed());
            if (it != snippets_.constEnd() && depth < kMaxComboDepth)
                return Convert(*it, out, depth + 1);
            batch_.Loss(
                where_,
                it == snippets_.constEnd()
                    ? QStringLiteral("#{%1} names no combo and is kept as written").arg(var)
                    : QStringLiteral("#{%1} nests too deep and is kept as written").arg(var));
        } else {
            batch_.Loss(where_, QStringLiteral("the variable #{%1} is kept as written").arg(var));
        }
        out += QStringLiteral("#{") + var + QLatin1Char('}');
        return true;
    }

    const QHash<QString, QString>& snippets_;
    TImportBatch& batch_;
    QString where_;
    TInputTags tags_;
};

} // namespace

void ImportBeeftext(const QByteArray& data, TImportBatch& batch) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        return batch.Fatal(QStringLiteral("not valid JSON at byte offset %1 (%2)")
                               .arg(error.offset)
                               .arg(error.errorString()));
    const QJsonValue combos = doc.object().value(QStringLiteral("combos"));
    if (!doc.isObject() || !combos.isArray())
        return batch.Fatal(
            QStringLiteral("not a Beeftext combo file: there is no \"combos\" list"));
    const QJsonArray list = combos.toArray();
    QHash<QString, QString> snippets;
    for (const QJsonValue& v : list)
        if (const QJsonObject o = v.toObject(); o.value(QStringLiteral("keyword")).isString())
            snippets.insert(o.value(QStringLiteral("keyword")).toString(), Snippet(o));
    if (!doc.object().value(QStringLiteral("groups")).toArray().isEmpty())
        batch.Loss({}, QStringLiteral("combo groups are not carried over; every combo goes into "
                                      "the one dictionary"));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject o = list[i].toObject();
        const QString keyword = o.value(QStringLiteral("keyword")).toString();
        const QString where =
            QStringLiteral("combo %1").arg(i + 1) +
            (keyword.isEmpty() ? QString() : QStringLiteral(" (\"%1\")").arg(keyword));
        if (!list[i].isObject()) {
            batch.Fault(where, QStringLiteral("a combo must be an object"));
            continue;
        }
        if (!o.value(QStringLiteral("keyword")).isString()) {
            batch.Fault(where, QStringLiteral("the combo has no keyword"));
            continue;
        }
        TCandidate c;
        c.where = where;
        c.keyword = keyword;
        c.description = o.value(QStringLiteral("name")).toString().simplified();
        if (!TSnippetReader(snippets, batch, where).Convert(Snippet(o), c.text)) continue;
        c.text = WithCrLf(c.text);
        if (o.value(QStringLiteral("enabled")).isBool() &&
            !o.value(QStringLiteral("enabled")).toBool())
            batch.Loss(where, QStringLiteral("was disabled in Beeftext; it is imported and will "
                                             "expand"));
        batch.Add(std::move(c));
    }
}

} // namespace Formats
