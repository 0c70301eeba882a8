#pragma once
// File-level steps around loading and saving a dictionary: opening a file,
// writing it so a failure never damages the old file, and the rotating
// backups base.~BX, base~1day.~BX and base~7days.~BX.
#include "dictionary/DictList.h"
#include "platform/SafeFile.h"

#include <QString>

namespace DictFile {

// Throws EBrevix when the file cannot be opened (only regular files are) or
// its header is refused.
TLoadResult Load(const QString& path, TDictionaryList& list, int mergeTag = 0,
                 bool headerOnly = false, TShortcutRegister* shortcutRegister = nullptr,
                 TProgress* progress = nullptr);

// Writes a temporary file beside the target and renames it over the target.
// Throws EBrevix ("Error writing to file" first) and leaves the old file as
// it was when anything fails.
void Save(const QString& path, const TDictionaryList& list, TProgress* progress = nullptr);

// After a replacing load: the dictionary becomes writable (header and own
// entries lose the read-only bit, reserved word at 8 cleared) and keeps the
// file's name. Throws "Filename cannot exceed 40 characters.".
void MarkOpened(TDictionaryList& list, const QString& path);

// The whole save of the open dictionary: backups when asked, the stored name
// (checked before anything is written), the header's read-only bit set in
// the file only, then the safe write. On failure the list and the backups
// are as they were.
void SaveDictionary(const QString& path, TDictionaryList& list, bool makeBackup,
                    TProgress* progress = nullptr);

struct TBackupNames {
    QString latest, oneDay, sevenDays;
};
// Beside the file, named after the file name up to its first dot.
TBackupNames BackupNames(const QString& path);

// Age of a relative to b in whole days (difference of modification times,
// less half a day, rounded half to even); 999 when either file is missing.
long long BackupAge(const QString& a, const QString& b);

// The backups of one save, in two steps so that nothing changes before the
// new version is written: Prepare copies the current file beside base.~BX,
// Place moves the older backups on when they are old enough and puts the
// copy in place. Every step ignores its own failure; without a copy (no
// current file, or it could not be copied) the backups stay as they were.
class TPendingBackups {
public:
    explicit TPendingBackups(const QString& path);
    ~TPendingBackups();
    void Prepare();
    void Place();

private:
    QString path_;
    TBackupNames names_;
    TPendingFile latest_;
    bool ready_ = false;
};

// Both steps at once.
void RotateBackups(const QString& path);

} // namespace DictFile
