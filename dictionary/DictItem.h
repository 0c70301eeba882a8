#pragma once
// One dictionary entry: a keyword (trimmed, lower case) mapping to a text to
// type, with a description, a shortcut code and flags. Strings are
// Windows-1252 bytes.
#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

class TDictionaryItem {
public:
    TDictionaryItem() = default;
    virtual ~TDictionaryItem() = default;
    TDictionaryItem(const TDictionaryItem&) = delete;
    TDictionaryItem& operator=(const TDictionaryItem&) = delete;

    void Clear();
    void Assign(const TDictionaryItem& source);

    const QByteArray& GetKeyword() const { return Keyword; }
    // Trimmed of blanks and control characters, then ANSI lower-cased.
    void SetKeyword(const QByteArray& keyword);
    static QByteArray NormalKeyword(const QByteArray& keyword);
    const QByteArray& GetDescription() const { return Description; }
    void SetDescription(const QByteArray& description);
    // The description, or when it is blank the start of the text on one line.
    QByteArray GetDisplayDescription() const;
    qsizetype GetDisplayDescriptionLength() const;
    const QByteArray& GetText() const { return Text; }
    void SetText(const QByteArray& text) { Text = text; }
    qint64 GetTextLength() const { return Text.size(); }
    uint16_t GetShortcut() const { return Shortcut; }
    void SetShortcut(uint16_t shortcut) { Shortcut = shortcut; }
    uint16_t GetFlags() const { return Flags; }
    void SetFlags(uint16_t flags) { Flags = flags; }
    bool GetReadOnly() const { return Flags & 1; }
    void SetReadOnly(bool readOnly);
    // 0 for an own entry, else the 1-based position of the linked dictionary.
    uint8_t GetLinked() const { return Linked; }
    void SetLinked(uint8_t linked) { Linked = linked; }

    // Memory streams carrying a text end with one NUL byte.
    void LoadTextFromStream(QIODevice& stream);
    bool WriteTextToStream(QIODevice& stream) const;

    // Empty when the entry fits the file format, else the reason it does not.
    QString StorageProblem() const;
    // The version-7 record; true when every byte was written.
    bool WriteToStream(QIODevice& stream) const;
    // Appends the version-7 record of an entry that fits the format.
    void AppendRecord(QByteArray& out) const;
    // A version-7 record, or with oldFormat a version-5 or -6 record; on false
    // the entry is left cleared.
    bool ReadFromStream(QIODevice& stream, bool oldFormat);

private:
    uint16_t Shortcut = 0;
    uint16_t Flags = 0;
    QByteArray Text;
    QByteArray Description;
    QByteArray Keyword;
    uint8_t Linked = 0;

    friend class TRecordReader;
};
