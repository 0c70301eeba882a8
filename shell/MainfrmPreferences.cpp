// The main window's side of the preferences: opening the dialog, and taking
// its settings over, applied at once and written to the settings file.
#include "dictionary/Dict.h"
#include "hook/HookApi.h"
#include "platform/MessageBox.h"
#include "shell/Mainfrm.h"
#include "shell/MainfrmShortcuts.h"
#include "shell/PreferencesDialog.h"
#include "shell/SpellingPage.h"
#include "tags/SpellChecker.h"
#include "typing/Autorepl.h"
#include "typing/gui/HintWindows.h"

#include <QCheckBox>
#include <QFileInfo>

bool TMainForm::Preferences1Click(int page) {
    const bool shown = isVisible() && !isMinimized();
    if (shown) hide();
    const QString dictionaryDir =
        Session.FileName().isEmpty() ? ConfigDir : QFileInfo(Session.FileName()).absolutePath();
    TPreferencesDlg dlg(Settings, IniPath(), page, dictionaryDir, this);
    if (PrepareDialog) PrepareDialog(&dlg);
    const bool ok = dlg.exec() == QDialog::Accepted;
    if (shown) {
        showNormal();
        raise();
        activateWindow();
    }
    if (!ok) return false;
    Settings = dlg.Result();
    ApplyPreferences();
    ApplySpelling(dlg.SpellingPage->WordsChanged() ? std::optional(dlg.SpellingPage->Words())
                                                   : std::nullopt);
    return true;
}

void TMainForm::ApplySpelling(const std::optional<QStringList>& personalWords) {
    TSpellChecker::ConfigureShared(ConfigDir, Settings.SpellLanguage);
    QString error;
    if (personalWords && !TSpellChecker::Shared().SetPersonalWords(*personalWords, &error))
        TMessageBox::Warn(this, QStringLiteral("Brevix"), error);
}

void TMainForm::Preferences2Click() {
    Preferences1Click(2);
}

void TMainForm::PreferencesFromSuggestionWindow() {
    TrayOpenOptClick();
    Preferences1Click(3);
    HideBtnClick();
}

void TMainForm::ApplyPreferences() {
    if (!HookUnavailable()) {
        SetPause(Settings.PauseMsec, Settings.PauseKeystrokeInterval);
        EnableSafeMode(Settings.Has(goEnableSafetyChecks));
        EnableMouseResets(!Settings.Has(aoSupportOnscreenKeyboards));
    }
    ApplyLook();
    FileShortcuts->RebuildShortcutsMenu();
    RefreshGrid(CurrentRow()); // the shortcut index and the keyword colours
    if (Hints) Hints->ApplyStyle();
    UpdateGrabbedKeys();
    // Before the write, which takes auto-replace from the check box.
    if (AutoReplaceChk->isChecked() != Settings.Has(aoAutoReplace))
        AutoReplaceChk->setChecked(Settings.Has(aoAutoReplace)); // runs its handler
    else if (Engine && Engine->Initialised())
        Engine->SetOptions(Settings.AutoReplaceOptions);

    TIniFile ini(IniPath());
    SettingsStore::WritePreferences(ini, Settings);
    if (!ini.UpdateFile())
        TMessageBox::Warn(this, QStringLiteral("Brevix"),
                          tr("The settings could not be saved:\n%1").arg(ini.ErrorString()));
    SaveSettings();
}
