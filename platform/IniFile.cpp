#include "platform/IniFile.h"
#include "platform/Ansi.h"
#include "platform/SafeFile.h"

#include <QFile>

namespace {
bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

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
        const QString key = Ansi::ToUnicode(Ansi::Trim(line.left(eq)));
        const QString value = Ansi::ToUnicode(Ansi::Trim(line.mid(eq + 1)));
        bool replaced = false;
        for (TEntry& e : current->entries)
            if (SameName(e.key, key)) {
                replaced = true; // the first occurrence wins, as profile readers do
                break;
            }
        if (!replaced) current->entries.push_back({key, value});
    }
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    for (const TSection& s : sections_)
        if (SameName(s.name, section)) return &s;
    return nullptr;
}

TIniFile::TSection& TIniFile::FindOrAdd(const QString& section) {
    for (TSection& s : sections_)
        if (SameName(s.name, section)) return s;
    sections_.push_back({section, {}});
    return sections_.back();
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    if (const TSection* s = Find(section))
        for (const TEntry& e : s->entries)
            if (SameName(e.key, key)) return e.value;
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
    if (const TSection* s = Find(section))
        for (const TEntry& e : s->entries)
            if (SameName(e.key, key)) return true;
    return false;
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
    for (TEntry& e : s.entries)
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    s.entries.push_back({key, value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    for (TSection& s : sections_)
        if (SameName(s.name, section))
            for (auto it = s.entries.begin(); it != s.entries.end(); ++it)
                if (SameName(it->key, key)) {
                    s.entries.erase(it);
                    modified_ = true;
                    return;
                }
}

void TIniFile::EraseSection(const QString& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        if (SameName(it->name, section)) {
            sections_.erase(it);
            modified_ = true;
            return;
        }
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
