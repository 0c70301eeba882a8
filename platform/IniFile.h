#pragma once
// Profile-file ("INI") storage with the semantics the settings rely on:
// section and key names compare without case, an absent key gives the
// default, file order is kept, lines end in CR LF. The file holds
// Windows-1252 text; the API speaks Unicode.
#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class TIniFile {
public:
    // Reads the file when it exists; a missing or unreadable file reads as empty.
    explicit TIniFile(const QString& path);

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal with "0x"/"$"; anything else gives the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    bool ValueExists(const QString& section, const QString& key) const;
    bool SectionExists(const QString& section) const;
    QStringList ReadSection(const QString& section) const; // key names in file order
    QStringList ReadSections() const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

    // Writes a temporary file beside the target and renames it over; false
    // (the old file untouched) with ErrorString() set on failure.
    bool UpdateFile();
    QString ErrorString() const { return error_; }
    QString FileName() const { return path_; }
    bool Modified() const { return modified_; }

private:
    struct TEntry {
        QString key, value;
    };
    struct TSection {
        QString name;
        std::vector<TEntry> entries;
    };
    // Names are found through their case-folded forms, so that reading and
    // writing stay linear in the number of keys.
    using TKeyId = std::pair<size_t, QString>; // section position, folded key
    const TSection* Find(const QString& section) const;
    const TEntry* FindEntry(const QString& section, const QString& key) const;
    size_t FindOrAdd(const QString& section); // its position
    // False when the section holds the key already (the first one is kept).
    bool Add(size_t section, const QString& key, const QString& value);
    void Reindex();

    QString path_;
    QString error_;
    std::vector<TSection> sections_;
    QHash<QString, size_t> sectionIndex_; // folded name -> position in sections_
    QHash<TKeyId, size_t> keyIndex_;      // -> position in the section's entries
    bool modified_ = false;
};
