#include "shell/MainfrmShortcuts.h"

#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"
#include "shell/QtKeys.h"
#include "typing/TypingController.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QSet>
#include <memory>

namespace {
const QString kCaption = QStringLiteral("Brevix");

// Message boxes break lines at "\n"; the texts carry CR LF.
QString ForDisplay(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QKeySequence SequenceForCode(uint16_t code) {
    const int key = QtKeys::QtKeyForVk(shortcut::Key(code));
    if (key == 0 || (code & 0x1F00)) return QKeySequence();
    int mods = 0;
    if (code & shortcut::Shift) mods |= Qt::SHIFT;
    if (code & shortcut::Ctrl) mods |= Qt::CTRL;
    if (code & shortcut::Alt) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}

class TMainFormActions final : public TFileShortcutActions {
public:
    TMainFormActions(TMainForm* form, TMainShortcuts* owner) : form_(form), owner_(owner) {}

    void OpenDictionary(const QString& fullPath) override { form_->OpenDictionary(fullPath); }
    bool RunTclFile(const QString& file, QByteArray& errorInfo) override {
        if (owner_->RunTclFile) return owner_->RunTclFile(file, errorInfo);
        TTclInterface* tcl = form_->Tcl.get();
        if (!tcl) {
            errorInfo = "Tcl scripting is not available, so Tcl scripts cannot be run.";
            return false;
        }
        if (tcl->EvalFile(file)) return true;
        errorInfo = tcl->GetErrorInfo(); // the load error when there is no interpreter
        return false;
    }
    bool OpenDocument(const QString& file, const QString& params) override {
        return owner_->OpenDocument ? owner_->OpenDocument(file, params)
                                    : DesktopOpenDocument(file);
    }
    bool StartProgram(const QString& program, const QStringList& args) override {
        return owner_->StartProgram ? owner_->StartProgram(program, args)
                                    : DesktopStartProgram(program, args);
    }
    void ShowInformation(const QString& text) override {
        if (owner_->ShowInformation)
            owner_->ShowInformation(ForDisplay(text));
        else
            TMessageBox::Inform(form_, kCaption, ForDisplay(text));
    }
    void ShowError(const QString& text) override { form_->ShowError(ForDisplay(text)); }

private:
    TMainForm* form_;
    TMainShortcuts* owner_;
};
} // namespace

TMainShortcuts::TMainShortcuts(TMainForm* form) : QObject(form), form_(form) {}

TFileShortcutList TMainShortcuts::List() const {
    const TSettings& s = form_->Settings;
    return TFileShortcutList::FromLists(s.FileShortcutNames, s.FileShortcutCaptions,
                                        s.FileShortcutCodes);
}

void TMainShortcuts::RebuildShortcutsMenu() {
    QMenu* menu = form_->Shortcuts1;
    if (!menu) return;
    const QList<QAction*> actions = menu->actions();
    if (!Edit1 || actions.size() < 2 || actions[0] != Edit1) {
        menu->clear();
        Edit1 = menu->addAction(tr("Edit..."));
        Edit1->setObjectName(QStringLiteral("Edit1"));
        connect(Edit1, &QAction::triggered, this, [this] {
            if (EditShortcuts) EditShortcuts();
        });
        menu->addSeparator();
    } else {
        for (qsizetype i = actions.size() - 1; i >= 2; --i) {
            menu->removeAction(actions[i]);
            delete actions[i];
        }
    }
    Edit1->setEnabled(bool(EditShortcuts));

    QSet<uint16_t> accelerated;
    for (const TFileShortcut& s : List().Items) {
        QString text = ShortcutMenuCaption(s.Name, s.Caption);
        text.replace(u'&', QStringLiteral("&&"));
        QAction* item = menu->addAction(text + u'\t' + Ansi::ToUnicode(KeyCodeToText(s.Code)));
        // The first shortcut of a code wins, so only it gets the accelerator.
        if (s.Code && !accelerated.contains(s.Code)) {
            accelerated.insert(s.Code);
            item->setShortcut(SequenceForCode(s.Code));
        }
        const uint16_t code = s.Code;
        connect(item, &QAction::triggered, this, [this, code] {
            if (form_->isActiveWindow()) form_->PostMessage(wm::FileShortcut, code, 1);
        });
    }
}

bool TMainShortcuts::RunFileShortcut(uint16_t code) {
    TMainFormActions actions(form_, this);
    return ::RunFileShortcut(List(), code, actions);
}

intptr_t TMainShortcuts::FileShortcutMessage(uintptr_t wParam, intptr_t lParam) {
    bool started;
    {
        running_ = true;
        const std::unique_ptr<bool, void (*)(bool*)> clear(&running_, [](bool* b) { *b = false; });
        started = RunFileShortcut(static_cast<uint16_t>(wParam & 0xFFFF));
    }

    const auto forgetTarget = [this] {
        form_->Typing->TargetWindow = 0;
        form_->Typing->TargetForeground = 0;
    };
    // Hidden again, the focus back where the user was.
    const auto hideAgain = [this] {
        form_->Typing->ReturnFocus();
        if (form_->isVisible() && !form_->isMinimized()) form_->MinimiseApplication();
    };
    if (!form_->isVisible() || form_->isMinimized()) {
        if (started) forgetTarget();
        hideAgain();
        if (ShowSuggestionsIfWanted) ShowSuggestionsIfWanted();
        return 0;
    }
    if (!started) return 0;
    if (InputTextWindowOpen && InputTextWindowOpen()) {
        if (FocusInputTextWindow) FocusInputTextWindow();
        return 0;
    }
    forgetTarget();
    if (lParam == 0 && !(ScriptWantsMainWindow && ScriptWantsMainWindow()))
        hideAgain();
    else
        form_->TrayOpenOptClick();
    return 0;
}
