#include "script/TclConfig.h"

#include "platform/Ansi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 MaxConfigSize = 64 * 1024;

// The value of `key` in `section`, both compared without case; null when absent.
QByteArray IniValue(const QByteArray& text, const QByteArray& section, const QByteArray& key) {
    bool inSection = false;
    QByteArray found;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = Ansi::Trim(raw);
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArray name = Ansi::Trim(line.mid(1, close < 0 ? -1 : close - 1));
            inSection = Ansi::Lower(name) == Ansi::Lower(section);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq <= 0 || !found.isNull()) continue;
        if (Ansi::Lower(Ansi::Trim(line.left(eq))) == Ansi::Lower(key))
            found = Ansi::Trim(line.mid(eq + 1));
    }
    return found;
}

// One pair of enclosing double quotes removed, the rest trimmed.
QString Unquote(QString s) {
    if (s.size() >= 2 && s.startsWith(u'"') && s.endsWith(u'"')) s = s.mid(1, s.size() - 2);
    return s.trimmed();
}

} // namespace

TTclConfig ParseTclConfig(const QByteArray& text, const QString& programDir) {
    TTclConfig cfg;
    QString dll = Ansi::ToUnicode(IniValue(text, "TCL", "DLLFILENAME"));
    dll = Unquote(dll.replace(u'\\', u'/'));
    if (dll.isEmpty()) dll = QString::fromLatin1(DefaultTclLibrary);
    if (!dll.contains(u'/')) {
        // Beside the program first, as the Windows original did; else the loader's own search.
        const QString local = QDir(programDir).filePath(dll);
        if (!programDir.isEmpty() && QFileInfo::exists(local)) dll = local;
    }
    cfg.DllFileName = dll;

    QString lib = Ansi::ToUnicode(IniValue(text, "TCL", "LIBPATH"));
    cfg.LibPath = Unquote(lib.replace(u'\\', u'/'));
    return cfg;
}

TTclConfig ReadTclConfig(const QString& programDir) {
    QByteArray text;
    QFile file(QDir(programDir).filePath(QStringLiteral("INIT.CFG")));
    if (file.open(QIODevice::ReadOnly)) text = file.read(MaxConfigSize);
    return ParseTclConfig(text, programDir);
}
