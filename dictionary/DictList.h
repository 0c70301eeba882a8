#pragma once
// One loaded dictionary: its entries in keyword order (no two keywords equal
// under the keyword comparison) and its file header.
#include "dictionary/DictHeader.h"
#include "dictionary/DictItem.h"
#include "dictionary/KeywordIndex.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <vector>

class QIODevice;
class TProgress;

// Decimal shortcut codes already taken while linked dictionaries are merged.
using TShortcutRegister = QSet<QString>;

// How far a load got; a damaged record ends reading quietly.
struct TLoadResult {
    int recordsRead = 0;
    int duplicates = 0;
    // Offset from the start of the stream where reading stopped.
    qint64 stopOffset = 0;
    // True when the data ended exactly after a complete record.
    bool complete = true;
    QString stopReason;
};

class TDictionaryList {
public:
    TDictionaryList();
    virtual ~TDictionaryList();
    TDictionaryList(const TDictionaryList&) = delete;
    TDictionaryList& operator=(const TDictionaryList&) = delete;

    // Frees every entry and resets the header; reports to ProgressBar when set.
    void Clear();
    int Count() const { return index_.Count(); }
    // nullptr (or an empty keyword) for a row that does not exist.
    TDictionaryItem* GetItem(int i) const;
    QByteArray GetKeywordAt(int i) const;

    // Inserts at the sorted place and takes ownership; -1 (not owned) when the
    // keyword is already present.
    int Add(TDictionaryItem* item);
    // Takes the entry out without freeing it.
    void Remove(TDictionaryItem* item);
    int IndexOfKeyword(const QByteArray& keyword) const;
    // Incremental-search row for a typed prefix; -1 only for an empty list.
    int FindNearest(const QByteArray& prefix) const;
    qint64 TotalChars() const { return totalChars_; }

    void GetInfoLines(QByteArray& line1, QByteArray& line2, QByteArray& line3) const;
    void SetInfoLines(const QByteArray& line1, const QByteArray& line2, const QByteArray& line3);
    QByteArray GetStoredFileName() const;
    // Throws EBrevix for more than 40 characters, keeping the first 40.
    void SetStoredFileName(const QByteArray& name);
    bool GetReadOnly() const { return Header.Flags() & 1; }
    void SetReadOnly(bool readOnly);
    bool GetRestricted() const { return Header.Flags() & 2; }

    // mergeTag 0 replaces the content; 1 to 255 merges the entries in, tagged
    // with it. Throws EBrevix "Unrecognized file header ..." for a header it
    // refuses.
    // Entries take the header's read-only bit unless keepRecordFlags (for
    // tools that show a file exactly as stored).
    TLoadResult LoadFromStream(QIODevice& stream, int mergeTag = 0, bool headerOnly = false,
                               TShortcutRegister* shortcutRegister = nullptr,
                               TProgress* progress = nullptr, bool keepRecordFlags = false);
    // Writes the header and every own entry. Throws EBrevix for an entry the
    // format cannot hold (before writing anything) and for a short write.
    void SaveToStream(QIODevice& stream, TProgress* progress = nullptr) const;

    TDictionaryHeader Header;
    TProgress* ProgressBar = nullptr; // not owned

private:
    static qint64 CharsOf(const TDictionaryItem& item);

    TKeywordIndex index_;
    qint64 totalChars_ = 0;
};
