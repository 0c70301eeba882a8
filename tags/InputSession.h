#pragma once
// Input sessions kept in ".bxi" files or handed to the user's Tcl procedures
// "bx_OnSaveSession" / "bx_OnRestoreSession": the field list's stream, then,
// when the input text window was showing, the length and bytes of its text;
// the whole written as upper-case hexadecimal digits and a NUL.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

class TBXInputList;
class TInputScripts;

QByteArray SessionData(const TBXInputList& list, const std::optional<QString>& shownText);
QByteArray SessionToHex(const QByteArray& data);
// SessionToHex(SessionData(...)) behind prefix, written in one pass into one
// buffer: a session holds a snapshot of the text per field, so it grows large.
QByteArray SessionHex(const TBXInputList& list, const std::optional<QString>& shownText,
                      QByteArrayView prefix = {});
// Strict: anything but pairs of hexadecimal digits up to the first NUL (or
// the end) is refused with a message.
bool SessionFromHex(QByteArrayView hex, QByteArray& data, QString* error);
// Replaces list's fields with the session's and puts its text (empty when it
// has none) into RestoredText. On failure the list is untouched.
bool RestoreSessionData(const QByteArray& data, TBXInputList& list, QString* error);
// SessionFromHex and RestoreSessionData in one pass, decoding the digits
// straight into the fields.
bool RestoreSessionHex(QByteArrayView hex, TBXInputList& list, QString* error);

// What saving and restoring ask of the user: file names and messages.
class TSessionDialogs {
public:
    virtual ~TSessionDialogs() = default;
    // Empty when cancelled. folder: where the dialog starts.
    virtual QString AskSaveFile(const QString& folder) = 0;
    virtual QString AskOpenFile(const QString& folder) = 0;
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // The session folder ("SessionFolder" of "PreviewDlg"), read and written back.
    virtual QString SessionFolder() = 0;
    virtual void SetSessionFolder(const QString& folder) = 0;
    // The folder of the current dictionary, where the dialogs start when no
    // session folder is known.
    virtual QString DictionaryFolder() = 0;
};

class TSessionStore {
public:
    TSessionStore(TSessionDialogs& dialogs, TInputScripts* scripts)
        : dialogs_(dialogs), scripts_(scripts) {}
    // nav::Next when saved, nav::Cancel when saved and the procedure answered
    // "BX_CANCEL", nav::SessionFailed when nothing was saved.
    int Save(const TBXInputList& list, const std::optional<QString>& shownText);
    // nav::Restored, or 0 when nothing was restored (the list as it was).
    int Restore(TBXInputList& list);

private:
    QString StartFolder();
    TSessionDialogs& dialogs_;
    TInputScripts* scripts_;
};
