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
    QFile file;
    QString error;
    if (!SafeFile::OpenForReading(path, file, &error)) {
        if (mergeTag == 0) list.Clear();
        throw EBrevix(error);
    }
    // Read through the file, never mapped: a file another program shrinks
    // while it loads then ends like a damaged one instead of raising SIGBUS.
    return list.LoadFromStream(file, mergeTag, headerOnly, shortcutRegister, progress);
}

namespace {

QByteArray Serialised(const TDictionaryList& list, TProgress* progress) {
    QByteArray data;
    // Roughly the file size, so the buffer is not copied as it grows.
    data.reserve(list.TotalChars() + 16 * qint64(list.Count()) + 4096);
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer, progress);
    return data;
}

[[noreturn]] void WriteFailed(const TPendingFile& file) {
    throw EBrevix(QStringLiteral("Error writing to file\n%1").arg(file.Error()));
}

} // namespace

void Save(const QString& path, const TDictionaryList& list, TProgress* progress) {
    TPendingFile file(path);
    if (!file.Write(Serialised(list, progress)) || !file.Commit()) WriteFailed(file);
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
    const TDictionaryHeader before = list.Header;
    try {
        list.SetStoredFileName(NameWithoutDirectory(path));
        list.Header.SetWord(TDictionaryHeader::kReservedOffset, 0);
        list.SetReadOnly(true);
        TPendingFile file(path);
        if (!file.Write(Serialised(list, progress))) WriteFailed(file);
        // The backups change only once the new version is safely on disk.
        TPendingBackups backups(path);
        if (makeBackup) backups.Prepare();
        if (!file.Commit()) WriteFailed(file);
        if (makeBackup) backups.Place();
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

// A byte copy that keeps the source's time, as the ages of the backups are
// measured between their modification times.
bool CopyInto(const QString& from, TPendingFile& to) {
    QFile source;
    if (!SafeFile::OpenForReading(from, source)) return false;
    const QDateTime modified = QFileInfo(from).lastModified();
    const QByteArray data = source.readAll();
    if (source.error() != QFileDevice::NoError) return false;
    return to.Write(data, modified);
}

void MoveReplacing(const QString& from, const QString& to) {
    QFile::remove(to);
    if (QFile::rename(from, to)) return;
    TPendingFile copy(to);
    if (CopyInto(from, copy)) copy.Commit();
}

} // namespace

TPendingBackups::TPendingBackups(const QString& path)
    : path_(path), names_(BackupNames(path)), latest_(names_.latest) {}

TPendingBackups::~TPendingBackups() = default;

void TPendingBackups::Prepare() {
    ready_ = CopyInto(path_, latest_);
}

void TPendingBackups::Place() {
    // Without a new base.~BX the older ones stay as they are: moving them on
    // would only leave a gap.
    if (!ready_) return;
    if (QFile::exists(names_.latest) && BackupAge(names_.latest, names_.oneDay) > 1) {
        if (QFile::exists(names_.oneDay) && BackupAge(names_.oneDay, names_.sevenDays) > 7) {
            QFile::remove(names_.sevenDays);
            MoveReplacing(names_.oneDay, names_.sevenDays);
        }
        QFile::remove(names_.oneDay);
        MoveReplacing(names_.latest, names_.oneDay);
    }
    latest_.Commit();
    ready_ = false;
}

void RotateBackups(const QString& path) {
    TPendingBackups backups(path);
    backups.Prepare();
    backups.Place();
}

} // namespace DictFile
