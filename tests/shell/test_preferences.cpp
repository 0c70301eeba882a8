// The preferences dialog on its own, and taken over by the main window.
#include "platform/Keycodes.h"
#include "shell/PreferencesDialog.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {
struct TFileAnswer {
    QString File;
    uint16_t Code;
    bool Ok = true;
};
} // namespace

class TPreferencesTest : public QObject, TFormHarness {
    Q_OBJECT
    TSettings Base() const {
        TSettings s;
        s.ProgramHotKey = vk::F10;
        s.AutoReplaceOptions =
            aoAutoReplace | aoAutoComplete | aoAutoReplaceHint | aoAutoHideSuggestionWindow;
        s.GeneralOptions = goUseClipboard;
        s.EditorFont = {QStringLiteral("DejaVu Sans"), 10, false};
        return s;
    }
    // A dialog whose small dialogs answer from the lists and whose messages are kept.
    std::unique_ptr<TPreferencesDlg> Dialog(int page = 0, const TSettings* s = nullptr) {
        auto dlg =
            std::make_unique<TPreferencesDlg>(s ? *s : Base(), QStringLiteral("/x.ini"), page);
        dlg->AskFileShortcut = [this](QString& file, uint16_t& code, QString&) {
            if (FileAnswers.isEmpty()) return false;
            const TFileAnswer a = FileAnswers.takeFirst();
            file = a.File;
            code = a.Code;
            return a.Ok;
        };
        dlg->ShowMessage = [this](const QString& m) { Messages << m; };
        dlg->AskYesNo = [](const QString&) { return true; };
        return dlg;
    }
    QList<TFileAnswer> FileAnswers;
    QStringList Messages;

private slots:
    void init() {
        Reset();
        FileAnswers.clear();
        Messages.clear();
    }
    void cleanup() { Stop(); }

    void opensOnTheAskedPage() {
        QCOMPARE(Dialog(2)->PageControl->currentIndex(), 2);
        QCOMPARE(Dialog(2)->PageControl->tabText(2), QStringLiteral("&3. File Shortcuts"));
        QCOMPARE(Dialog(7)->PageControl->currentIndex(), 0);
        QCOMPARE(Dialog(-1)->PageControl->currentIndex(), 0);
        QVERIFY(Dialog()->windowTitle().endsWith(QStringLiteral(" - /x.ini")));
    }

    void fileShortcutsAreCheckedBeforeTheyAreTaken() {
        auto dlg = Dialog(2);
        const uint16_t ctrlK = shortcut::Ctrl | uint16_t('K');
        // "=" in the file, then the hot key: each refused, asked again with the values.
        FileAnswers = {{QStringLiteral("a=b.bxd"), ctrlK},
                       {QStringLiteral("/d/team.bxd"), vk::F10},
                       {QStringLiteral("/d/team.bxd"), ctrlK}};
        dlg->AddFileShortcut();
        QCOMPARE(Messages.size(), 2);
        QVERIFY(Messages[0].contains(QStringLiteral("'='")));
        QVERIFY(Messages[1].contains(QStringLiteral("hot key")));
        QCOMPARE(dlg->FileGrid->rowCount(), 1); // the empty row was used

        // The same key again is refused; giving up removes the added row.
        FileAnswers = {{QStringLiteral("/d/other.bxd"), ctrlK}, {QString(), 0, false}};
        dlg->AddFileShortcut();
        QVERIFY(Messages.last().contains(QStringLiteral("already in the list")));
        QCOMPARE(dlg->FileGrid->rowCount(), 1);

        // A row without a key is dropped on OK.
        FileAnswers = {{QStringLiteral("/d/nokey.bxd"), 0}};
        dlg->AddFileShortcut();
        QCOMPARE(dlg->FileGrid->rowCount(), 2);
        const TSettings s = dlg->Result();
        QCOMPARE(s.FileShortcutNames, QStringList{QStringLiteral("/d/team.bxd")});
        QCOMPARE(s.FileShortcutCodes, std::vector<uint16_t>{ctrlK});

        // Removing the last row empties it instead.
        dlg->RemoveFileShortcut(1);
        dlg->RemoveFileShortcut(0);
        QCOMPARE(dlg->FileGrid->rowCount(), 1);
        QVERIFY(dlg->Result().FileShortcutNames.isEmpty());
    }

    void autoReplaceOffGreysItsOptionsButKeepsThem() {
        auto dlg = Dialog(3);
        QVERIFY(dlg->AutoCompleteChk->isEnabled());
        QVERIFY(!dlg->TrackCaretChk->isChecked());
        dlg->HintChk->setChecked(false);
        QVERIFY(!dlg->TrackCaretChk->isEnabled());
        dlg->HintChk->setChecked(true);
        QVERIFY(dlg->TrackCaretChk->isEnabled());
        dlg->AutoReplaceChk->setChecked(false);
        for (QCheckBox* c : {dlg->AutoCompleteChk, dlg->HintChk, dlg->TrackCaretChk,
                             dlg->SuggestionChk, dlg->AltInsChk})
            QVERIFY(!c->isEnabled());
        const TSettings s = dlg->Result();
        QVERIFY(!s.Has(aoAutoReplace));
        QVERIFY(s.Has(aoAutoComplete));
        QVERIFY(s.Has(aoAutoHideSuggestionWindow)); // not on the dialog: kept
    }

    void fontStyleIsRegularOrBold() {
        auto dlg = Dialog(1);
        dlg->AskFont = [](QFont& f) {
            f = QFont(QStringLiteral("DejaVu Serif"), 14);
            f.setBold(true);
            f.setItalic(true);
            return true;
        };
        dlg->EditorFontBtn->click();
        QCOMPARE(Messages,
                 QStringList{QStringLiteral("The font style can only be Regular or Bold.")});
        const TFontSpec f = dlg->Result().EditorFont;
        QCOMPARE(f.Name, QStringLiteral("DejaVu Serif"));
        QCOMPARE(f.Size, 14);
        QVERIFY(f.Bold);
        QVERIFY(dlg->EditorFontLbl->text().contains(QStringLiteral("14 pt, bold")));
    }

    void linksAreUniqueAndLowerCased() {
        auto dlg = Dialog(4);
        QVERIFY(!dlg->LinksChanged());
        dlg->AddLink(QStringLiteral(" /D/Team.bxd "));
        dlg->AddLink(QStringLiteral("/d/mine.bxd"));
        dlg->AddLink(QStringLiteral("/d/team.bxd"));
        QCOMPARE(dlg->Result().LinkedDictionaries,
                 (QStringList{QStringLiteral("/d/mine.bxd"), QStringLiteral("/d/team.bxd")}));
        QVERIFY(dlg->LinksChanged());
    }

    void cancelChangesNothingOkAppliesAndWrites() {
        Start();
        Form->show();
        QTRY_VERIFY(Form->StartupDone);
        const QByteArray before = ReadFile(P(QStringLiteral("Brevixo.ini")));
        bool hiddenMeanwhile = false;
        Form->PrepareDialog = [&](QDialog* d) {
            auto* dlg = static_cast<TPreferencesDlg*>(d);
            hiddenMeanwhile = !Form->isVisible();
            dlg->PauseEdit->setValue(120);
            QTimer::singleShot(0, dlg, &QDialog::reject);
        };
        QVERIFY(!Form->Preferences1Click());
        QVERIFY(hiddenMeanwhile);
        QVERIFY(Form->isVisible());
        QCOMPARE(Form->Settings.PauseMsec, 1000);
        QCOMPARE(ReadFile(P(QStringLiteral("Brevixo.ini"))), before);

        Form->PrepareDialog = [](QDialog* d) {
            auto* dlg = static_cast<TPreferencesDlg*>(d);
            dlg->PauseEdit->setValue(120);
            dlg->KeystrokesRadio->setChecked(true);
            dlg->AutoReplaceChk->setChecked(false);
            QTimer::singleShot(0, dlg, &QDialog::accept);
        };
        QVERIFY(Form->Preferences1Click());
        QCOMPARE(Form->Settings.PauseMsec, 120);
        QVERIFY(!Form->Settings.Has(goUseClipboard));
        QVERIFY(!Form->AutoReplaceChk->isChecked()); // the main window follows
        const QByteArray ini = ReadFile(P(QStringLiteral("Brevixo.ini")));
        QVERIFY(ini.contains("Pause=120"));
        QVERIFY(ini.contains("UseClipboard=0"));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TPreferencesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_preferences.moc"
