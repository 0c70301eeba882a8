// AutoKey keeps each phrase as NAME.txt with its settings in .NAME.json
// beside it; folders nest.
#include "tools/convert/Formats.h"
#include "tools/convert/InputFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Formats {

namespace {

constexpr int kMaxFiles = 100000;
constexpr qint64 kMaxPhraseBytes = 16 * 1024 * 1024;

// The abbreviations of a phrase: a list in current versions, one text in old ones.
QStringList Abbreviations(const QJsonObject& meta) {
    const QJsonValue a = meta.value(QStringLiteral("abbreviation"));
    QStringList out;
    if (!a.isObject()) return out;
    const QJsonObject o = a.toObject();
    for (const QJsonValue& v : o.value(QStringLiteral("abbreviations")).toArray())
        if (v.isString() && !v.toString().isEmpty()) out << v.toString();
    if (o.value(QStringLiteral("abbreviation")).isString() &&
        !o.value(QStringLiteral("abbreviation")).toString().isEmpty())
        out << o.value(QStringLiteral("abbreviation")).toString();
    return out;
}

void NoteSettings(const QJsonObject& meta, const QString& where, TImportBatch& batch) {
    const QJsonObject abbr = meta.value(QStringLiteral("abbreviation")).toObject();
    if (abbr.value(QStringLiteral("immediate")).toBool())
        batch.Loss(where, QStringLiteral("AutoKey expanded it without a delimiter; Brevix waits "
                                         "for one"));
    if (abbr.value(QStringLiteral("triggerInside")).toBool())
        batch.Loss(where, QStringLiteral("expanding inside a word is not carried over"));
    const QJsonObject hotkey = meta.value(QStringLiteral("hotkey")).toObject();
    if (hotkey.value(QStringLiteral("hotKey")).isString())
        batch.Loss(where, QStringLiteral("its hotkey is not carried over"));
    const QJsonObject filter = meta.value(QStringLiteral("filter")).toObject();
    if (filter.value(QStringLiteral("regex")).isString())
        batch.Loss(where, QStringLiteral("its window filter is not carried over"));
}

// AutoKey's macros (<cursor>, <date ...>, <script ...>) have no tag of ours.
void NoteMacros(const QString& text, const QString& where, TImportBatch& batch) {
    static const QRegularExpression macro(QStringLiteral(
        "<(cursor|clipboard|selection|script|date|file|choice|system|input)\\b[^>]*>"));
    QStringList found;
    for (auto it = macro.globalMatch(text); it.hasNext();)
        if (const QString m = it.next().captured(0); !found.contains(m)) found << m;
    for (const QString& m : found)
        batch.Loss(where, QStringLiteral("the macro %1 is kept as written").arg(m));
}

void ReadPhrase(const QDir& root, const QFileInfo& txt, TImportBatch& batch) {
    const QString where = root.relativeFilePath(txt.filePath());
    const QString metaPath =
        txt.dir().filePath(QLatin1Char('.') + txt.completeBaseName() + QStringLiteral(".json"));
    QByteArray raw;
    QString problem;
    if (!QFileInfo::exists(metaPath)) {
        batch.Loss(where, QStringLiteral("has no settings file (%1), so no abbreviation; left out")
                              .arg(QFileInfo(metaPath).fileName()));
        return;
    }
    if (!InputFile::Read(metaPath, raw, problem, kMaxPhraseBytes))
        return batch.Fault(where, problem);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(raw, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return batch.Fault(
            where, QStringLiteral("%1 is not valid JSON (%2)")
                       .arg(QFileInfo(metaPath).fileName(), error.error != QJsonParseError::NoError
                                                                ? error.errorString()
                                                                : QStringLiteral("not an object")));
    const QJsonObject meta = doc.object();
    const QString type = meta.value(QStringLiteral("type")).toString(QStringLiteral("phrase"));
    if (type != QLatin1String("phrase"))
        return batch.Loss(where,
                          QStringLiteral("an AutoKey %1 is not a phrase; left out").arg(type));
    const QStringList abbreviations = Abbreviations(meta);
    if (abbreviations.isEmpty())
        return batch.Loss(where, QStringLiteral("has no abbreviation (only a hotkey or a menu "
                                                "entry); left out"));
    if (!InputFile::Read(txt.filePath(), raw, problem, kMaxPhraseBytes))
        return batch.Fault(where, problem);
    QString text;
    if (!InputFile::DecodeUtf8(raw, text, problem)) return batch.Fault(where, problem);
    NoteSettings(meta, where, batch);
    NoteMacros(text, where, batch);
    const QString description = meta.value(QStringLiteral("description")).toString().simplified();
    for (const QString& a : abbreviations) {
        TCandidate c;
        c.where = abbreviations.size() > 1 ? where + QStringLiteral(" (\"%1\")").arg(a) : where;
        c.keyword = a;
        c.description = description;
        c.text = WithCrLf(text);
        batch.Add(std::move(c));
    }
}

} // namespace

void ImportAutoKey(const QString& folder, TImportBatch& batch) {
    const QFileInfo info(folder);
    if (!info.isDir()) return batch.Fatal(QStringLiteral("not a folder of AutoKey phrases"));
    const QDir root(folder);
    // Symbolic links are not followed, so a link to a parent cannot loop.
    QDirIterator it(folder, {QStringLiteral("*.txt")}, QDir::Files | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    QList<QFileInfo> phrases;
    while (it.hasNext()) {
        if (phrases.size() >= kMaxFiles)
            return batch.Fatal(QStringLiteral("more than %1 phrase files").arg(kMaxFiles));
        phrases << QFileInfo(it.next());
    }
    if (phrases.isEmpty())
        return batch.Fatal(QStringLiteral("no AutoKey phrase (*.txt) was found"));
    // Directory order differs between file systems; the report should not.
    std::sort(phrases.begin(), phrases.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.filePath() < b.filePath(); });
    for (const QFileInfo& p : phrases)
        ReadPhrase(root, p, batch);
}

} // namespace Formats
