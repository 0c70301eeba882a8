#pragma once
// The dictionary the user works on: the entries, the file they came from,
// whether they changed since, and which entries answer to a shortcut key.
// The windows show it; the script commands and the entry rules change it.
#include "dictionary/DictList.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class TProgress;
struct TLinkMerge;

class TDictionarySession {
public:
    // Item 0 the program's hot key (row -1), then each entry with a shortcut.
    using TShortcutIndex = std::vector<std::pair<uint16_t, int>>;

    TDictionarySession() = default;
    TDictionarySession(const TDictionarySession&) = delete;
    TDictionarySession& operator=(const TDictionarySession&) = delete;

    TDictionaryList& Dict() { return dict_; }
    const TDictionaryList& Dict() const { return dict_; }

    // The open file, absolute; empty when none is open.
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& path);
    bool Modified() const { return modified_; }
    void SetModified(bool on);
    // Called after every SetFileName and SetModified, changed or not: the
    // title also shows read-only marks that change behind the session.
    std::function<void()> FileNameChanged;
    std::function<void()> ModifiedChanged;

    // Replaces the entries with the file's; throws what the reader throws,
    // leaving the session empty. headerOnly reads no entries. With links,
    // the linked dictionaries are merged in after the file's own entries.
    TLoadResult Open(const QString& path, bool headerOnly, TProgress* progress = nullptr,
                     TLinkMerge* links = nullptr);
    // The links the open entries were merged from, as they were at the load.
    const QStringList& LinkedFiles() const { return linkedFiles_; }
    // The file a merged entry came from; empty for an own entry.
    QString LinkedSource(const TDictionaryItem& item) const;
    // Writes the entries to path (a backup first when asked), after which no
    // entry is read-only and nothing is modified. Throws EBrevix.
    void Save(const QString& path, bool makeBackup, TProgress* progress = nullptr);
    // Empties the session without a file. The modified mark is dropped
    // unreported: the file name change that follows redraws the title.
    void Close();

    // " (modified)", " (READONLY)" when the header or the file is, else empty.
    QString StatusText() const;

    const TShortcutIndex& ShortcutIndex() const { return shortcutIndex_; }
    // Entries change behind the index: rebuilt before each use that must be current.
    void RebuildShortcutIndex(uint16_t hotKey);
    // The hot key the index was built with is code (never for code 0).
    bool IsHotKey(uint16_t code) const;
    // The row of the first entry with that shortcut; -1 when none has it.
    int EntryForShortcut(uint16_t code) const;

private:
    TDictionaryList dict_;
    QString fileName_;
    QStringList linkedFiles_;
    bool modified_ = false;
    TShortcutIndex shortcutIndex_;
};
