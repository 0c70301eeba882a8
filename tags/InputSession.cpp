#include "tags/InputSession.h"

#include "platform/Ansi.h"
#include "platform/SafeFile.h"
#include "tags/InputList.h"
#include "tags/InputScripts.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

namespace {

// Larger files are no session this program wrote.
constexpr qint64 kMaxSessionFile = 256LL << 20;

// The value of each hexadecimal digit, -1 for any other byte; and the two
// upper-case digits of each byte.
struct THexTable {
    signed char v[256];
    char pair[256][2];
    constexpr THexTable() : v(), pair() {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i) {
            v[i] = -1;
            pair[i][0] = digits[i >> 4];
            pair[i][1] = digits[i & 15];
        }
        for (int i = 0; i < 10; ++i)
            v['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i)
            v['A' + i] = v['a' + i] = static_cast<signed char>(10 + i);
    }
};
constexpr THexTable kHex;

// Writes the digits into memory reserved for all of them.
class THexSink : public TStreamSink {
public:
    explicit THexSink(char* out) : out_(out) {}
    void Put(const char* data, qsizetype size) override {
        for (qsizetype i = 0; i < size; ++i, out_ += 2)
            memcpy(out_, kHex.pair[static_cast<unsigned char>(data[i])], 2);
    }
    char* End() const { return out_; }

private:
    char* out_;
};

// Decodes pairs of digits as they are read.
class THexSource : public TStreamSource {
public:
    explicit THexSource(QByteArrayView hex) : hex_(hex.constData()), size_(hex.size() / 2) {}
    qsizetype Left() const override { return size_ - pos_; }
    bool Read(char* to, qsizetype size) override {
        if (size > Left()) return false;
        const char* in = hex_ + 2 * pos_;
        for (qsizetype i = 0; i < size; ++i, in += 2) {
            const int hi = kHex.v[static_cast<unsigned char>(in[0])];
            const int lo = kHex.v[static_cast<unsigned char>(in[1])];
            if ((hi | lo) < 0) {
                bad_ = 2 * (pos_ + i) + (hi < 0 ? 1 : 2);
                pos_ = size_;
                return false;
            }
            to[i] = static_cast<char>(hi << 4 | lo);
        }
        pos_ += size;
        return true;
    }
    // The 1-based place of the first character that is no digit, 0 when none was met.
    qsizetype BadCharacter() const { return bad_; }

private:
    const char* hex_;
    qsizetype size_;
    qsizetype pos_ = 0;
    qsizetype bad_ = 0;
};

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

bool NotHex(QString* error, qsizetype at) {
    return Fail(error, QStringLiteral("This is not a Brevix input session: character %1 is not a "
                                      "hexadecimal digit.")
                           .arg(at));
}

// The digits of a session: up to its NUL, without a line end a file edited by
// hand may have gained; refused when empty or cut in the middle of a byte.
bool HexDigits(QByteArrayView& hex, QString* error) {
    if (const void* nul =
            hex.isEmpty() ? nullptr : memchr(hex.constData(), '\0', size_t(hex.size())))
        hex.truncate(static_cast<const char*>(nul) - hex.constData());
    while (!hex.isEmpty() && (hex.back() == '\n' || hex.back() == '\r' || hex.back() == ' '))
        hex.chop(1);
    if (hex.isEmpty()) return Fail(error, QStringLiteral("The session is empty."));
    if (hex.size() % 2)
        return Fail(error, QStringLiteral("The session is cut short: it ends in the middle of "
                                          "a byte."));
    return true;
}

// The session stream, then the length and bytes of the shown text.
void WriteSession(const TBXInputList& list, const QByteArray* text, TStreamSink& out) {
    list.WriteStream(out);
    if (!text) return;
    char b[4];
    qToLittleEndian<quint32>(static_cast<quint32>(text->size()), b);
    out.Put(b, 4);
    out.Put(text->constData(), text->size());
}

qsizetype SessionSize(const TBXInputList& list, const QByteArray* text) {
    return list.StreamSize() + (text ? 4 + text->size() : 0);
}

// Reads the field list and the text part that may follow it; list is
// changed only when the whole session fits together.
bool RestoreFrom(TStreamSource& in, TBXInputList& list, QString* error) {
    TBXInputList loaded;
    if (!loaded.ReadStream(in, error)) return false;
    QByteArray bytes;
    if (in.Left() > 0) {
        char b[4];
        if (in.Left() < 4 || !in.Read(b, 4))
            return Fail(error, QStringLiteral("The text saved with the session is cut short."));
        const quint32 length = qFromLittleEndian<quint32>(b);
        if (quint64(length) != quint64(in.Left()))
            return Fail(error, QStringLiteral("The text saved with the session is %1 bytes long "
                                              "where %2 were announced.")
                                   .arg(in.Left())
                                   .arg(length));
        bytes = QByteArray(in.Left(), Qt::Uninitialized);
        if (!in.Read(bytes.data(), bytes.size())) return false;
    }
    if (!FitsTogether(loaded, error)) return false;
    list.Items = std::move(loaded.Items);
    for (auto& item : list.Items)
        item->Owner = &list;
    list.Current = loaded.Current;
    list.RestoredText = Ansi::ToUnicode(bytes);
    return true;
}

} // namespace

QByteArray SessionData(const TBXInputList& list, const std::optional<QString>& shownText) {
    const QByteArray text = shownText ? Ansi::FromUnicode(*shownText) : QByteArray();
    const QByteArray* part = shownText ? &text : nullptr;
    QByteArray data;
    data.reserve(SessionSize(list, part));
    TByteSink sink(data);
    WriteSession(list, part, sink);
    return data;
}

QByteArray SessionHex(const TBXInputList& list, const std::optional<QString>& shownText,
                      QByteArrayView prefix) {
    const QByteArray text = shownText ? Ansi::FromUnicode(*shownText) : QByteArray();
    const QByteArray* part = shownText ? &text : nullptr;
    QByteArray hex(prefix.size() + 2 * SessionSize(list, part) + 1, Qt::Uninitialized);
    if (!prefix.isEmpty()) memcpy(hex.data(), prefix.constData(), size_t(prefix.size()));
    THexSink sink(hex.data() + prefix.size());
    WriteSession(list, part, sink);
    *sink.End() = '\0';
    return hex;
}

QByteArray SessionToHex(const QByteArray& data) {
    QByteArray hex(data.size() * 2 + 1, Qt::Uninitialized);
    THexSink sink(hex.data());
    sink.Put(data.constData(), data.size());
    *sink.End() = '\0';
    return hex;
}

bool SessionFromHex(QByteArrayView hex, QByteArray& data, QString* error) {
    if (!HexDigits(hex, error)) return false;
    THexSource in(hex);
    QByteArray out(in.Left(), Qt::Uninitialized);
    if (!in.Read(out.data(), out.size())) return NotHex(error, in.BadCharacter());
    data = std::move(out);
    return true;
}

bool RestoreSessionData(const QByteArray& data, TBXInputList& list, QString* error) {
    TByteSource in(data);
    return RestoreFrom(in, list, error);
}

bool RestoreSessionHex(QByteArrayView hex, TBXInputList& list, QString* error) {
    if (!HexDigits(hex, error)) return false;
    THexSource in(hex);
    if (RestoreFrom(in, list, error)) return true;
    if (in.BadCharacter()) NotHex(error, in.BadCharacter());
    return false;
}

QString TSessionStore::StartFolder() {
    const QString folder = dialogs_.SessionFolder();
    return folder.isEmpty() ? dialogs_.DictionaryFolder() : folder;
}

int TSessionStore::Save(const TBXInputList& list, const std::optional<QString>& shownText) {
    if (scripts_ && scripts_->ProcDefined("bx_OnSaveSession")) {
        QByteArray command = SessionHex(list, shownText, "bx_OnSaveSession ");
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
    if (!SafeFile::Write(file, SessionHex(list, shownText), &why)) {
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
    QString why;
    if (!RestoreSessionHex(hex, list, &why)) {
        dialogs_.ShowError(QStringLiteral("Brevix"),
                           QStringLiteral("The session was not restored from\n%1\n\n%2\n\nThe "
                                          "current input is kept as it was.")
                               .arg(source, why));
        return 0;
    }
    return nav::Restored;
}
