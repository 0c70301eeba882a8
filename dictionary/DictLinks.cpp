#include "dictionary/DictLinks.h"

#include "dictionary/DictFile.h"
#include "dictionary/Progress.h"
#include "platform/Errors.h"

#include <QFileInfo>

namespace {
// One name for one file on disk, through symbolic links and "..".
QString Identity(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

QString LinkedSource(const TDictionaryItem& item, const QStringList& links) {
    const int tag = item.GetLinked();
    return tag == 0 ? QString() : links.value(tag - 1);
}

void LoadLinkedDictionaries(TDictionaryList& list, const QString& openPath, TLinkMerge& merge,
                            TProgress* progress) {
    TShortcutRegister taken;
    for (int i = 0; i < list.Count(); ++i)
        if (const uint16_t code = list.GetItem(i)->GetShortcut())
            taken.insert(QString::number(code));

    QStringList seen{Identity(openPath)};
    for (int i = 0; i < merge.Links.size();) {
        const QString path = merge.Links[i].trimmed();
        const QString identity = path.isEmpty() ? QString() : Identity(path);
        if (path.isEmpty() || i >= kMaxDictionaryLinks || seen.contains(identity)) {
            merge.Skipped << merge.Links[i];
            ++i;
            continue;
        }
        seen << identity;
        if (merge.Announce)
            merge.Announce(QStringLiteral("Loading %1...").arg(QFileInfo(path).fileName()));
        if (progress) {
            progress->SetPosition(0);
            progress->ProcessMessages();
        }
        try {
            const TLoadResult r = DictFile::Load(path, list, i + 1, false, &taken, progress);
            merge.Merged += r.recordsRead - r.duplicates;
            merge.Duplicates += r.duplicates;
            if (!r.complete) merge.Damaged << path + QStringLiteral(": ") + r.stopReason;
        } catch (const EBrevix& e) {
            if (merge.Failed && merge.Failed(path, e.Message())) {
                merge.Removed << merge.Links.takeAt(i);
                continue;
            }
        }
        ++i;
    }
}
