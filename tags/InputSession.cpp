#include "tags/InputSession.h"

#include "platform/Ansi.h"
#include "platform/SafeFile.h"
#include "tags/InputList.h"
#include "tags/InputScripts.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

// Larger files are no session this program wrote.
constexpr qint64 kMaxSessionFile = 256LL << 20;

// The value of each hexadecimal digit, -1 for any other byte.
struct THexTable {
    signed char v[256];
    constexpr THexTable() : v() {
        for (int i = 0; i < 256; ++i)
            v[i] = -1;
        for (int i = 0; i < 10; ++i)
            v['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i)
            v['A' + i] = v['a' + i] = static_cast<signed char>(10 + i);
    }
};
constexpr THexTable kHex;

int HexDigit(char c) {
    return kHex.v[static_cast<unsigned char>(c)];
}

bool Fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// Every field that was asked for stands in the text it was asked from; a
// session whose parts do not fit together was not written by this program.
bool FitsTogether(const TBXInputList& list, QString* error) {
    for (int i = 0; i < list.Count(); ++i) {
        const TBXInputListItem& item = *list.Items[i];
        if (item.Kind == TInputKind::None) continue;
        const QByteArray tag = item.TagText.left(item.TagText.indexOf('\0'));
        if (tag.isEmpty() || !item.TextSnapshot.contains(tag))
            return Fail(error, QStringLiteral("Field %1 of the session does not belong to the "
                                              "text saved with it.")
                                   .arg(i + 1));
    }
    return true;
}

} // namespace

QByteArray SessionData(const TBXInputList& list, const std::optional<QString>& shownText) {
    QByteArray data = list.SaveToStream();
    if (shownText) {
        const QByteArray text = Ansi::FromUnicode(*shownText);
        char b[4];
        qToLittleEndian<quint32>(static_cast<quint32>(text.size()), b);
        data.append(b, 4);
        data.append(text);
    }
    return data;
}

QByteArray SessionToHex(const QByteArray& data) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray hex(data.size() * 2 + 1, Qt::Uninitialized);
    char* out = hex.data();
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = digits[b >> 4];
        *out++ = digits[b & 15];
    }
    *out = '\0';
    return hex;
}

bool SessionFromHex(QByteArray hex, QByteArray& data, QString* error) {
    if (const qsizetype nul = hex.indexOf('\0'); nul >= 0) hex.truncate(nul);
    // A file edited by hand may have gained a line end.
    while (!hex.isEmpty() && (hex.back() == '\n' || hex.back() == '\r' || hex.back() == ' '))
        hex.chop(1);
    if (hex.isEmpty()) return Fail(error, QStringLiteral("The session is empty."));
    if (hex.size() % 2)
        return Fail(error, QStringLiteral("The session is cut short: it ends in the middle of "
                                          "a byte."));
    QByteArray out(hex.size() / 2, Qt::Uninitialized);
    const char* in = hex.constData();
    char* to = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const int hi = HexDigit(in[2 * i]), lo = HexDigit(in[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return Fail(error, QStringLiteral("This is not a Brevix input session: character %1 "
                                              "is not a hexadecimal digit.")
                                   .arg(2 * i + (hi < 0 ? 1 : 2)));
        to[i] = static_cast<char>(hi << 4 | lo);
    }
    data = out;
    return true;
}

bool RestoreSessionData(const QByteArray& data, TBXInputList& list, QString* error) {
    TBXInputList loaded;
    qsizetype pos = 0;
    if (!loaded.LoadFromStream(data, pos, error)) return false;
    QString text;
    if (pos < data.size()) {
        if (data.size() - pos < 4)
            return Fail(error, QStringLiteral("The text saved with the session is cut short."));
        const quint32 length = qFromLittleEndian<quint32>(data.constData() + pos);
        pos += 4;
        if (quint64(length) != quint64(data.size() - pos))
            return Fail(error, QStringLiteral("The text saved with the session is %1 bytes long "
                                              "where %2 were announced.")
                                   .arg(data.size() - pos)
                                   .arg(length));
        text = Ansi::ToUnicode(data.mid(pos));
    }
    if (!FitsTogether(loaded, error)) return false;
    list.Items = std::move(loaded.Items);
    for (auto& item : list.Items)
        item->Owner = &list;
    list.Current = loaded.Current;
    list.RestoredText = text;
    return true;
}

QString TSessionStore::StartFolder() {
    const QString folder = dialogs_.SessionFolder();
    return folder.isEmpty() ? dialogs_.DictionaryFolder() : folder;
}

int TSessionStore::Save(const TBXInputList& list, const std::optional<QString>& shownText) {
    const QByteArray hex = SessionToHex(SessionData(list, shownText));
    if (scripts_ && scripts_->ProcDefined("bx_OnSaveSession")) {
        QByteArray command = "bx_OnSaveSession " + hex;
        command.chop(1);
        if (!scripts_->Eval(command)) {
            dialogs_.ShowError(QStringLiteral("Brevix"), Ansi::ToUnicode(scripts_->FailureText()));
            return nav::SessionFailed;
        }
        return scripts_->GetResult() == "BX_CANCEL" ? nav::Cancel : nav::Next;
    }
    QString file = dialogs_.AskSaveFile(StartFolder());
    if (file.isEmpty()) return nav::SessionFailed;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".bxi");
    dialogs_.SetSessionFolder(QFileInfo(file).absolutePath());
    QString why;
    if (!SafeFile::Write(file, hex, &why)) {
        dialogs_.ShowError(
            QStringLiteral("Brevix"),
            QStringLiteral("The session could not be saved to\n%1\n\n%2").arg(file, why));
        return nav::SessionFailed;
    }
    return nav::Next;
}

int TSessionStore::Restore(TBXInputList& list) {
    list.RestoredText.clear();
    QByteArray hex;
    QString source;
    if (scripts_ && scripts_->ProcDefined("bx_OnRestoreSession")) {
        if (!scripts_->Eval("bx_OnRestoreSession")) {
            dialogs_.ShowError(QStringLiteral("Brevix"), Ansi::ToUnicode(scripts_->FailureText()));
            return 0;
        }
        hex = scripts_->GetResult();
        if (hex.isEmpty()) return 0;
        source = QStringLiteral("bx_OnRestoreSession");
    } else {
        const QString file = dialogs_.AskOpenFile(StartFolder());
        if (file.isEmpty()) return 0;
        dialogs_.SetSessionFolder(QFileInfo(file).absolutePath());
        QFile f;
        QString why;
        if (!SafeFile::OpenForReading(file, f, &why)) {
            dialogs_.ShowError(
                QStringLiteral("Brevix"),
                QStringLiteral("The session file\n%1\ncould not be read.\n\n%2").arg(file, why));
            return 0;
        }
        if (f.size() > kMaxSessionFile) {
            dialogs_.ShowError(QStringLiteral("Brevix"),
                               QStringLiteral("The session file\n%1\nis too large to be a Brevix "
                                              "input session.")
                                   .arg(file));
            return 0;
        }
        hex = f.read(kMaxSessionFile + 1);
        source = file;
    }
    QByteArray data;
    QString why;
    if (!SessionFromHex(hex, data, &why) || !RestoreSessionData(data, list, &why)) {
        dialogs_.ShowError(QStringLiteral("Brevix"),
                           QStringLiteral("The session was not restored from\n%1\n\n%2\n\nThe "
                                          "current input is kept as it was.")
                               .arg(source, why));
        return 0;
    }
    return nav::Restored;
}
