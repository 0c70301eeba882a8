#include "shell/DictChecks.h"

#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "shell/Mainfrm.h"

#include <QFileInfo>
#include <QTabBar>

bool FileIsReadOnly(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    if (!info.exists()) return false;
    // The owner bit stands for the file's read-only attribute; it must hold
    // even for a user (root) whom the permissions do not stop.
    return !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();
}

bool CanAdd(const TMainForm& form) {
    return form.Dict && form.TabSet1->count() > 0 && !form.Dict->GetReadOnly() &&
           !FileIsReadOnly(form.OpenFileName);
}

bool CanRemove(const TMainForm& form, const TDictionaryItem* item) {
    return item && !item->GetReadOnly() && item->GetLinked() == 0 &&
           !FileIsReadOnly(form.OpenFileName);
}

bool CheckKeyword(TMainForm& form, int row, const QByteArray& keyword, bool show) {
    const int i = form.Dict->IndexOfKeyword(Ansi::Trim(keyword));
    if (i < 0 || i == row) return false;
    if (show)
        form.ShowError(
            QStringLiteral("The keyword \"%1\" is already in use.").arg(Ansi::ToUnicode(keyword)));
    return true;
}

bool CheckShortcut(TMainForm& form, const QByteArray& keyword, uint16_t code, bool show) {
    if (code == 0) return false;
    form.RebuildShortcutIndex();
    const auto& index = form.ShortcutIndex;
    const QByteArray own = Ansi::Lower(Ansi::Trim(keyword));
    QString owner;
    for (size_t i = 0; i < index.size(); ++i) {
        if (index[i].first != code) continue;
        if (i == 0)
            owner = QStringLiteral("the hot key");
        else if (Ansi::Lower(form.Dict->GetKeywordAt(index[i].second)) != own)
            owner = QStringLiteral("another keyword");
        break; // only the first row with the code counts
    }
    if (owner.isEmpty()) return false;
    if (show)
        form.ShowError(
            QStringLiteral("The shortcut \"%1\" is already assigned to %2.\nPlease specify another "
                           "shortcut.")
                .arg(Ansi::ToUnicode(KeyCodeToText(code)), owner));
    return true;
}
