#include "platform/IniFile.h"
#include "platform/Ansi.h"
#include "platform/SafeFile.h"

#include <QFile>

#include <optional>

namespace {
QString Folded(const QString& name) {
    return name.toCaseFolded();
}
} // namespace

TIniFile::TIniFile(const QString& path) : path_(path) {
    QFile f;
    // A named pipe in the file's place must not hang the start.
    if (!SafeFile::OpenForReading(path, f)) return;
    const QByteArray data = f.readAll();
    std::optional<size_t> current;
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = Ansi::Trim(raw);
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QString name =
                Ansi::ToUnicode(Ansi::Trim(line.mid(1, close < 0 ? -1 : close - 1)));
            current = FindOrAdd(name);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!current || eq <= 0) continue; // lines outside a section or without a key are skipped
        // The first occurrence of a key wins, as profile readers do.
        Add(*current, Ansi::ToUnicode(Ansi::Trim(line.left(eq))),
            Ansi::ToUnicode(Ansi::Trim(line.mid(eq + 1))));
    }
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    const auto it = sectionIndex_.constFind(Folded(section));
    return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

const TIniFile::TEntry* TIniFile::FindEntry(const QString& section, const QString& key) const {
    const auto s = sectionIndex_.constFind(Folded(section));
    if (s == sectionIndex_.constEnd()) return nullptr;
    const auto e = keyIndex_.constFind({*s, Folded(key)});
    return e == keyIndex_.constEnd() ? nullptr : &sections_[*s].entries[*e];
}

size_t TIniFile::FindOrAdd(const QString& section) {
    const QString folded = Folded(section);
    if (const auto it = sectionIndex_.constFind(folded); it != sectionIndex_.constEnd()) return *it;
    sectionIndex_.insert(folded, sections_.size());
    sections_.push_back({section, {}});
    return sections_.size() - 1;
}

bool TIniFile::Add(size_t section, const QString& key, const QString& value) {
    std::vector<TEntry>& entries = sections_[section].entries;
    TKeyId id{section, Folded(key)};
    if (keyIndex_.contains(id)) return false;
    keyIndex_.insert(std::move(id), entries.size());
    entries.push_back({key, value});
    return true;
}

void TIniFile::Reindex() {
    sectionIndex_.clear();
    keyIndex_.clear();
    for (size_t s = 0; s < sections_.size(); ++s) {
        sectionIndex_.insert(Folded(sections_[s].name), s);
        for (size_t e = 0; e < sections_[s].entries.size(); ++e)
            keyIndex_.insert({s, Folded(sections_[s].entries[e].key)}, e);
    }
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const TEntry* e = FindEntry(section, key);
    return e ? e->value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const QString v = ReadString(section, key, QString());
    if (v.isEmpty()) return def;
    bool ok = false;
    int result;
    if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        result = v.mid(2).toInt(&ok, 16);
    else if (v.startsWith(QLatin1Char('$')))
        result = v.mid(1).toInt(&ok, 16);
    else
        result = v.toInt(&ok, 10);
    return ok ? result : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FindEntry(section, key) != nullptr;
}

bool TIniFile::SectionExists(const QString& section) const {
    return Find(section) != nullptr;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    if (const TSection* s = Find(section))
        for (const TEntry& e : s->entries)
            keys << e.key;
    return keys;
}

QStringList TIniFile::ReadSections() const {
    QStringList names;
    for (const TSection& s : sections_)
        names << s.name;
    return names;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const size_t s = FindOrAdd(section);
    modified_ = true;
    if (const auto e = keyIndex_.constFind({s, Folded(key)}); e != keyIndex_.constEnd())
        sections_[s].entries[*e].value = value;
    else
        Add(s, key, value);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    const auto s = sectionIndex_.constFind(Folded(section));
    if (s == sectionIndex_.constEnd()) return;
    const auto e = keyIndex_.constFind({*s, Folded(key)});
    if (e == keyIndex_.constEnd()) return;
    std::vector<TEntry>& entries = sections_[*s].entries;
    const size_t at = *e;
    keyIndex_.erase(e);
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(at));
    for (size_t i = at; i < entries.size(); ++i) // the later keys move up by one
        keyIndex_[{*s, Folded(entries[i].key)}] = i;
    modified_ = true;
}

void TIniFile::EraseSection(const QString& section) {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.constEnd()) return;
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(*found));
    Reindex();
    modified_ = true;
}

bool TIniFile::UpdateFile() {
    QByteArray out;
    for (const TSection& s : sections_) {
        out += '[' + Ansi::FromUnicode(s.name) + "]\r\n";
        for (const TEntry& e : s.entries)
            out += Ansi::FromUnicode(e.key) + '=' + Ansi::FromUnicode(e.value) + "\r\n";
        out += "\r\n";
    }
    if (!SafeFile::Write(path_, out, &error_)) return false;
    modified_ = false;
    return true;
}
