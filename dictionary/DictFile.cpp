#include "dictionary/DictFile.h"

#include "dictionary/Rounding.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DictFile {

TLoadResult Load(const QString& path, TDictionaryList& list, int mergeTag, bool headerOnly,
                 TShortcutRegister* shortcutRegister, TProgress* progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (mergeTag == 0) list.Clear();
        throw EBrevix(QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()));
    }
    // Read through the file, never mapped: a file another program shrinks
    // while it loads then ends like a damaged one instead of raising SIGBUS.
    return list.LoadFromStream(file, mergeTag, headerOnly, shortcutRegister, progress);
}

void Save(const QString& path, const TDictionaryList& list, TProgress* progress) {
    QByteArray data;
    // Roughly the file size, so the buffer is not copied as it grows.
    data.reserve(list.TotalChars() + 16 * qint64(list.Count()) + 4096);
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer, progress);
    QString error;
    if (!SafeFile::Write(path, data, &error))
        throw EBrevix(QStringLiteral("Error writing to file\n%1").arg(error));
}

namespace {
QByteArray NameWithoutDirectory(const QString& path) {
    return Ansi::FromUnicode(QFileInfo(path).fileName());
}
} // namespace

void MarkOpened(TDictionaryList& list, const QString& path) {
    list.Header.SetWord(TDictionaryHeader::kReservedOffset, 0);
    list.SetReadOnly(false);
    for (int i = 0; i < list.Count(); ++i) {
        TDictionaryItem* item = list.GetItem(i);
        if (item->GetLinked() == 0) item->SetReadOnly(false);
    }
    list.SetStoredFileName(NameWithoutDirectory(path));
}

void SaveDictionary(const QString& path, TDictionaryList& list, bool makeBackup,
                    TProgress* progress) {
    if (makeBackup) RotateBackups(path);
    const TDictionaryHeader before = list.Header;
    try {
        list.SetStoredFileName(NameWithoutDirectory(path));
        list.Header.SetWord(TDictionaryHeader::kReservedOffset, 0);
        list.SetReadOnly(true);
        Save(path, list, progress);
    } catch (...) {
        // A header left marked read-only would make every later save a no-op.
        list.Header = before;
        throw;
    }
    list.SetReadOnly(false);
    for (int i = 0; i < list.Count(); ++i)
        list.GetItem(i)->SetReadOnly(false);
}

TBackupNames BackupNames(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QString base = name.left(
        name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    const QDir dir = info.dir();
    return {dir.filePath(base + QStringLiteral(".~BX")),
            dir.filePath(base + QStringLiteral("~1day.~BX")),
            dir.filePath(base + QStringLiteral("~7days.~BX"))};
}

long long BackupAge(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (!fa.exists() || !fb.exists()) return 999;
    const double ms = static_cast<double>(fa.lastModified().toMSecsSinceEpoch() -
                                          fb.lastModified().toMSecsSinceEpoch());
    return RoundHalfEven(ms / 86400000.0 - 0.5);
}

namespace {

// A byte copy that replaces the target and keeps the source's time, as the
// ages of the backups are measured between their modification times.
void CopyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return;
    const QByteArray data = source.readAll();
    const QDateTime modified = QFileInfo(from).lastModified();
    source.close();
    if (!SafeFile::Write(to, data)) return;
    QFile target(to);
    if (target.open(QIODevice::ReadWrite))
        target.setFileTime(modified, QFileDevice::FileModificationTime);
}

void MoveReplacing(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!QFile::rename(from, to)) CopyReplacing(from, to);
}

} // namespace

void RotateBackups(const QString& path) {
    const TBackupNames n = BackupNames(path);
    if (QFile::exists(n.latest) && BackupAge(n.latest, n.oneDay) > 1) {
        if (QFile::exists(n.oneDay) && BackupAge(n.oneDay, n.sevenDays) > 7) {
            QFile::remove(n.sevenDays);
            MoveReplacing(n.oneDay, n.sevenDays);
        }
        QFile::remove(n.oneDay);
        MoveReplacing(n.latest, n.oneDay);
    }
    if (QFile::exists(path)) CopyReplacing(path, n.latest);
}

} // namespace DictFile
