#include "shell/FileShortcuts.h"

#include "platform/Ansi.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

bool IsBlank(QChar c) {
    return c == u' ';
}

// The text before the first blank and the text after it, or the whole
// text and nothing.
std::pair<QString, QString> SplitAtFirstBlank(const QString& text) {
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0) return {text, QString()};
    return {text.left(blank), text.mid(blank + 1)};
}
} // namespace

TFileShortcutList TFileShortcutList::FromLists(const QStringList& names,
                                               const QStringList& captions,
                                               const std::vector<uint16_t>& codes) {
    TFileShortcutList list;
    for (qsizetype i = 0; i < names.size(); ++i) {
        TFileShortcut s;
        s.Name = names[i];
        s.Caption = captions.value(i);
        s.Code = i < qsizetype(codes.size()) ? codes[size_t(i)] : 0;
        list.Items << s;
    }
    return list;
}

void TFileShortcutList::ToLists(QStringList& names, QStringList& captions,
                                std::vector<uint16_t>& codes) const {
    names.clear();
    captions.clear();
    codes.clear();
    for (const TFileShortcut& s : Items) {
        names << s.Name;
        captions << s.Caption;
        codes.push_back(s.Code);
    }
}

int TFileShortcutList::IndexOfCode(uint16_t code) const {
    if (code == 0) return -1;
    for (int i = 0; i < Items.size(); ++i)
        if (Items[i].Code == code) return i;
    return -1;
}

TSplitCommand SplitFileCommand(const QString& text) {
    TSplitCommand r;
    bool quoted = false;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (IsBlank(c) && !quoted)
            break;
    }
    r.File = text.left(i);
    r.File.remove(u'"');
    if (i < text.size()) r.Params = text.mid(i + 1);
    return r;
}

QString FileNameWithoutFolder(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

QString ShortcutMenuCaption(const QString& name, const QString& caption) {
    const QString c = caption.trimmed();
    if (!c.isEmpty()) return c;
    const auto [first, rest] = SplitAtFirstBlank(name.trimmed());
    return FileNameWithoutFolder(first) + rest;
}

QString DefaultShortcutDescription(const QString& fileText) {
    return FileNameWithoutFolder(SplitAtFirstBlank(fileText).first);
}

QString TFileShortcutActions::FindProgram(const QString& file) const {
    if (file.isEmpty()) return QString();
    if (file.contains(u'/')) {
        const QFileInfo info(file);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    // A bare name is a program on PATH; a file of that name in the current
    // folder is a document unless it is executable.
    const QFileInfo here(file);
    if (here.isFile()) return here.isExecutable() ? here.absoluteFilePath() : QString();
    return QStandardPaths::findExecutable(file);
}

bool RunFileShortcut(const TFileShortcutList& list, uint16_t code, TFileShortcutActions& actions) {
    const int index = list.IndexOfCode(code);
    if (index < 0) return false;
    const QString text = list.Items[index].Name.trimmed();
    if (text.isEmpty()) return false;

    const TSplitCommand cmd = SplitFileCommand(text);
    const QString ext = QFileInfo(cmd.File).suffix().toUpper();
    if (ext == QLatin1String("BXD")) {
        actions.OpenDictionary(QFileInfo(cmd.File).absoluteFilePath());
        return false;
    }
    if (ext == QLatin1String("TCL")) {
        QByteArray errorInfo;
        if (actions.RunTclFile(cmd.File, errorInfo)) return true;
        actions.ShowInformation(QStringLiteral("Error occurred while executing ") + kCrLf +
                                cmd.File + kCrLf + QStringLiteral("STACK TRACE:") + kCrLf +
                                Ansi::ToUnicode(errorInfo));
        return false;
    }

    const QString program = actions.FindProgram(cmd.File);
    const bool started = program.isEmpty()
                             ? actions.OpenDocument(cmd.File, cmd.Params)
                             : actions.StartProgram(program, QProcess::splitCommand(cmd.Params));
    if (started) return true;
    actions.ShowError(QStringLiteral("Brevix could not launch") + kCrLf + u'"' + cmd.File + u'"');
    if (text.contains(u' '))
        actions.ShowInformation(QStringLiteral("Please note that filenames containing spaces must "
                                               "be enclosed in double quotes \" \".") +
                                kCrLf + QStringLiteral("For example:") + kCrLf + kCrLf + u'"' +
                                text + u'"');
    return false;
}

bool DesktopOpenDocument(const QString& file) {
    const QFileInfo info(file);
    if (file.isEmpty() || !info.exists()) return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {info.absoluteFilePath()});
}

bool DesktopStartProgram(const QString& program, const QStringList& args) {
    return !program.isEmpty() && QProcess::startDetached(program, args);
}
