#include "tools/convert/ImportBatch.h"

#include "dictionary/DictList.h"
#include "dictionary/EntryRules.h"
#include "platform/Ansi.h"
#include "tools/bxdict/EntryLines.h"

#include <QHash>
#include <QSet>
#include <memory>
#include <vector>

namespace {

// The entry, or the first reason it cannot be one.
QString MakeItem(const TCandidate& c, TDictionaryItem& item) {
    QByteArray keyword, description, text;
    QString problem = AnsiField(c.keyword, QStringLiteral("keyword"), keyword);
    if (problem.isEmpty())
        problem = AnsiField(c.description, QStringLiteral("description"), description);
    if (problem.isEmpty()) problem = AnsiField(c.text, QStringLiteral("text"), text);
    if (problem.isEmpty()) problem = KeywordProblem(keyword);
    if (!problem.isEmpty()) return problem;
    item.SetKeyword(keyword);
    item.SetDescription(description);
    item.SetText(text);
    item.SetShortcut(c.shortcut);
    item.SetFlags(c.flags);
    return item.StorageProblem();
}

} // namespace

int ApplyImport(TImportBatch& batch, TDictionaryList& list, bool skipBad) {
    std::vector<std::unique_ptr<TDictionaryItem>> accepted;
    // Keywords as the list's own comparison tells them apart (case and
    // surrounding blanks do not count), with where each was first seen.
    TDictionaryList seen;
    QHash<QByteArray, QString> firstAt;
    // A shortcut key calls one entry; a taken one is not carried over.
    QSet<uint16_t> shortcuts;
    for (int i = 0; i < list.Count(); ++i)
        shortcuts.insert(list.GetItem(i)->GetShortcut());
    for (const TCandidate& c : batch.candidates) {
        auto item = std::make_unique<TDictionaryItem>();
        const QString problem = MakeItem(c, *item);
        if (!problem.isEmpty()) {
            batch.Fault(c.where, problem);
            continue;
        }
        const QByteArray key = item->GetKeyword();
        const QString quoted = QLatin1Char('"') + Ansi::ToUnicode(key) + QLatin1Char('"');
        if (list.IndexOfKeyword(key) >= 0) {
            batch.Fault(c.where,
                        QStringLiteral("the keyword %1 is already in the dictionary").arg(quoted));
            continue;
        }
        auto marker = std::make_unique<TDictionaryItem>();
        marker->SetKeyword(key);
        if (seen.Add(marker.get()) < 0) {
            const QString first = firstAt.value(seen.GetKeywordAt(seen.IndexOfKeyword(key)));
            batch.Fault(c.where,
                        QStringLiteral("duplicate keyword %1 (first at %2)").arg(quoted, first));
            continue;
        }
        marker.release();
        firstAt.insert(key, c.where);
        if (const uint16_t code = item->GetShortcut(); code != 0) {
            if (shortcuts.contains(code)) {
                item->SetShortcut(0);
                batch.Loss(c.where, QStringLiteral("its shortcut key is taken by another entry "
                                                   "and is not carried over"));
            }
            shortcuts.insert(code);
        }
        accepted.push_back(std::move(item));
    }
    if (!batch.faults.isEmpty() && !skipBad) return 0;
    int added = 0;
    for (auto& item : accepted) {
        if (list.Add(item.get()) < 0) continue; // cannot happen: checked above
        item.release();
        ++added;
    }
    return added;
}

QString WithCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += text[i];
    }
    return out;
}

QString WithLf(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}
