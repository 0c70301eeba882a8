#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "tools/bxdict/EntryLines.h"
#include "tools/bxdict/JsonLine.h"
#include "tools/convert/Formats.h"

namespace Formats {

void ImportJsonLines(const QByteArray& data, TImportBatch& batch) {
    const QList<QByteArray> lines = data.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const QString where = QStringLiteral("line %1").arg(i + 1);
        TDictionaryItem item;
        const QString problem = EntryFromJsonLine(line, item);
        if (!problem.isEmpty()) {
            batch.Fault(where, problem);
            continue;
        }
        TCandidate c;
        c.where = where;
        c.keyword = Ansi::ToUnicode(item.GetKeyword());
        c.description = Ansi::ToUnicode(item.GetDescription());
        c.text = Ansi::ToUnicode(item.GetText());
        c.shortcut = item.GetShortcut();
        c.flags = item.GetFlags();
        batch.Add(std::move(c));
    }
}

QByteArray ExportJsonLines(const TDictionaryList& list, QList<TConvertNote>&) {
    QByteArray out;
    for (int i = 0; i < list.Count(); ++i) {
        const TDictionaryItem& e = *list.GetItem(i);
        out += TJsonLine()
                   .Add("keyword", Ansi::ToUnicode(e.GetKeyword()))
                   .Add("description", Ansi::ToUnicode(e.GetDescription()))
                   .Add("text", Ansi::ToUnicode(e.GetText()))
                   .Add("shortcut", e.GetShortcut())
                   .Add("flags", e.GetFlags())
                   .Finish();
    }
    return out;
}

} // namespace Formats
