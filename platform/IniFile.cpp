#include "platform/IniFile.h"
#include "platform/Ansi.h"
#include "platform/SafeFile.h"

#include <QFile>

namespace {
QString Folded(const QString& name) {
    return name.toCaseFolded();
}
} // namespace

TIniFile::TEntry* TIniFile::TSection::Find(const QString& key) {
    const auto it = index.constFind(Folded(key));
    return it == index.constEnd() ? nullptr : &entries[*it];
}

const TIniFile::TEntry* TIniFile::TSection::Find(const QString& key) const {
    const auto it = index.constFind(Folded(key));
    return it == index.constEnd() ? nullptr : &entries[*it];
}

bool TIniFile::TSection::Add(const QString& key, const QString& value) {
    const QString folded = Folded(key);
    if (index.contains(folded)) return false;
    index.insert(folded, entries.size());
    entries.push_back({key, value});
    return true;
}

void TIniFile::TSection::Reindex() {
    index.clear();
    for (size_t i = 0; i < entries.size(); ++i)
        index.insert(Folded(entries[i].key), i);
}

TIniFile::TIniFile(const QString& path) : path_(path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray data = f.readAll();
    TSection* current = nullptr;
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = Ansi::Trim(raw);
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QString name =
                Ansi::ToUnicode(Ansi::Trim(line.mid(1, close < 0 ? -1 : close - 1)));
            current = &FindOrAdd(name);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!current || eq <= 0) continue; // lines outside a section or without a key are skipped
        // The first occurrence of a key wins, as profile readers do.
        current->Add(Ansi::ToUnicode(Ansi::Trim(line.left(eq))),
                     Ansi::ToUnicode(Ansi::Trim(line.mid(eq + 1))));
    }
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    const auto it = sectionIndex_.constFind(Folded(section));
    return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

TIniFile::TSection& TIniFile::FindOrAdd(const QString& section) {
    const QString folded = Folded(section);
    if (const auto it = sectionIndex_.constFind(folded); it != sectionIndex_.constEnd())
        return sections_[*it];
    sectionIndex_.insert(folded, sections_.size());
    sections_.push_back({section, {}, {}});
    return sections_.back();
}

void TIniFile::ReindexSections() {
    sectionIndex_.clear();
    for (size_t i = 0; i < sections_.size(); ++i)
        sectionIndex_.insert(Folded(sections_[i].name), i);
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    if (const TSection* s = Find(section))
        if (const TEntry* e = s->Find(key)) return e->value;
    return def;
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
    const TSection* s = Find(section);
    return s && s->Find(key);
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
    TSection& s = FindOrAdd(section);
    modified_ = true;
    if (TEntry* e = s.Find(key))
        e->value = value;
    else
        s.Add(key, value);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.constEnd()) return;
    TSection& s = sections_[*found];
    const auto at = s.index.constFind(Folded(key));
    if (at == s.index.constEnd()) return;
    s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(*at));
    s.Reindex();
    modified_ = true;
}

void TIniFile::EraseSection(const QString& section) {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.constEnd()) return;
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(*found));
    ReindexSections();
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
