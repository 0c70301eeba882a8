#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "tools/convert/Csv.h"
#include "tools/convert/Formats.h"
#include "tools/convert/InputFile.h"

namespace Formats {

namespace {
const QStringList kHeader = {QStringLiteral("keyword"), QStringLiteral("text"),
                             QStringLiteral("description")};

bool IsHeader(const QStringList& fields) {
    if (fields.size() < 2 || fields.size() > 3) return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(kHeader[i], Qt::CaseInsensitive) != 0) return false;
    return true;
}
} // namespace

QString EntryPlace(const TDictionaryItem& item) {
    return QStringLiteral("entry \"%1\"").arg(Ansi::ToUnicode(item.GetKeyword()));
}

void ImportCsv(const QByteArray& data, TImportBatch& batch) {
    QString text, problem;
    if (!InputFile::DecodeUtf8(data, text, problem)) return batch.Fatal(problem);
    const QList<TCsvRecord> records = Csv::Read(text);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TCsvRecord& r = records[i];
        const QString where = QStringLiteral("line %1").arg(r.line);
        if (!r.problem.isEmpty()) {
            batch.Fault(where, r.problem);
            continue;
        }
        if (i == 0 && IsHeader(r.fields)) continue;
        if (r.fields.size() < 2 || r.fields.size() > 3) {
            batch.Fault(where, QStringLiteral("expected keyword, text and description, found %1 "
                                              "field(s)")
                                   .arg(r.fields.size()));
            continue;
        }
        TCandidate c;
        c.where = where;
        c.keyword = r.fields[0];
        c.text = WithCrLf(r.fields[1]);
        if (r.fields.size() == 3) c.description = r.fields[2];
        batch.Add(std::move(c));
    }
}

QByteArray ExportCsv(const TDictionaryList& list, QList<TConvertNote>& losses) {
    QString out = Csv::Record(kHeader);
    for (int i = 0; i < list.Count(); ++i) {
        const TDictionaryItem& e = *list.GetItem(i);
        out += Csv::Record({Ansi::ToUnicode(e.GetKeyword()), Ansi::ToUnicode(e.GetText()),
                            Ansi::ToUnicode(e.GetDescription())});
        if (e.GetShortcut())
            losses.append({EntryPlace(e), QStringLiteral("its shortcut key is not carried over "
                                                         "(CSV has no column for it)")});
    }
    return out.toUtf8();
}

} // namespace Formats
