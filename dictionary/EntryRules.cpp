#include "dictionary/EntryRules.h"

#include "dictionary/DictItem.h"
#include "dictionary/DictionarySession.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"

#include <QFileInfo>

bool FileIsReadOnly(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    if (!info.exists()) return false;
    // The owner bit stands for the file's read-only attribute; it must hold
    // even for a user (root) whom the permissions do not stop.
    return !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();
}

QString FileReadOnlyMsg(const QString& path) {
    return QStringLiteral("The file \"%1\" is marked READONLY and cannot be modified.\nTo modify "
                          "file either: (1) Choose SAVE AS from the FILE menu to copy to a "
                          "different file, or \n(2) Remove the READONLY attribute from the file's "
                          "permissions.")
        .arg(path);
}

bool CanAdd(const TDictionarySession& session, bool inTab) {
    return inTab && !session.Dict().GetReadOnly() && !FileIsReadOnly(session.FileName());
}

bool CanRemove(const TDictionarySession& session, const TDictionaryItem* item) {
    return item && !item->GetReadOnly() && item->GetLinked() == 0 &&
           !FileIsReadOnly(session.FileName());
}

QString KeywordProblem(const QByteArray& keyword) {
    const QByteArray k = Ansi::Trim(keyword);
    if (k.isEmpty()) return QStringLiteral("The keyword is blank.");
    if (k.size() > kKeywordMaxChars)
        return QStringLiteral("The keyword \"%1\" is longer than %2 characters.")
            .arg(Ansi::ToUnicode(k))
            .arg(kKeywordMaxChars);
    return {};
}

bool CheckKeyword(const TDictionarySession& session, int row, const QByteArray& keyword,
                  const TTellUser& tell) {
    const int i = session.Dict().IndexOfKeyword(Ansi::Trim(keyword));
    if (i < 0 || i == row) return false;
    if (tell)
        tell(QStringLiteral("The keyword \"%1\" is already in use.").arg(Ansi::ToUnicode(keyword)));
    return true;
}

bool CheckShortcut(TDictionarySession& session, uint16_t hotKey, const QByteArray& keyword,
                   uint16_t code, const TTellUser& tell) {
    if (code == 0) return false;
    session.RebuildShortcutIndex(hotKey);
    const auto& index = session.ShortcutIndex();
    const QByteArray own = Ansi::Lower(Ansi::Trim(keyword));
    QString owner;
    for (size_t i = 0; i < index.size(); ++i) {
        if (index[i].first != code) continue;
        if (i == 0)
            owner = QStringLiteral("the hot key");
        else if (Ansi::Lower(session.Dict().GetKeywordAt(index[i].second)) != own)
            owner = QStringLiteral("another keyword");
        break; // only the first row with the code counts
    }
    if (owner.isEmpty()) return false;
    if (tell)
        tell(
            QStringLiteral("The shortcut \"%1\" is already assigned to %2.\nPlease specify another "
                           "shortcut.")
                .arg(Ansi::ToUnicode(KeyCodeToText(code)), owner));
    return true;
}
