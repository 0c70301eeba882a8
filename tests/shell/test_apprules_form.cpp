// Application rules and password fields on the typing path: the main window
// on the virtual desktop, keys typed into windows of different programs.
#include "hook/HookApi.h"
#include "platform/Keycodes.h"
#include "shell/AppRulesPage.h"
#include "shell/PreferencesDialog.h"
#include "tests/shell/OffscreenDesktop.h"
#include "typing/Autorepl.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

class TAppRulesFormTest : public QObject, TFormHarness {
    Q_OBJECT

    // A window of its own program, as the rules and the password check see it.
    static BxHwnd Window(uint32_t pid, const char* cls) {
        const BxHwnd w = BxVirtualCreateWindow(pid);
        BxVirtualSetWindowClass(w, cls, "");
        return w;
    }
    static QByteArray Text(BxHwnd w) {
        char buffer[256] = {};
        BxVirtualGetText(w, buffer, sizeof buffer);
        return buffer;
    }
    // Types into w as the user would and waits until any expansion is done.
    QByteArray TypeInto(BxHwnd w, const char* keys) {
        BxVirtualSetFocus(w);
        BxVirtualSetText(w, "");
        BxVirtualType(keys);
        if (!SpinUntil([this] { return Form->Typing->Idle() && BxWaitIdle(0); })) return "hang";
        return Text(w);
    }
    void StartWith(const QByteArray& extraIni) {
        MakeDictionary(P("d.bxd"), {{"addr", "12 Main St"}});
        WriteFile(P("PAGES.CFG"), P("d.bxd").toUtf8() + "\r\n");
        Start(QByteArray(QuietIni) + extraIni);
        Form->show();
        QVERIFY(SpinUntil([this] { return Form->StartupDone; }));
        QVERIFY(Form->AutoReplaceChk->isChecked());
        Form->hide();
    }

private slots:
    void init() { Reset(); }
    void cleanup() {
        BxVirtualSetPasswordFocus(0);
        Stop();
    }

    void rulesTurnAutoReplaceOffOrForceKeystrokes() {
        // Pasting with F12, which the virtual desktop ignores: a text that
        // arrives was typed key by key, or pasted with a rule's own key.
        StartWith("ClipboardCommand=F12\r\n[AppRules]\r\nRule1=KeePassXC,off\r\n"
                  "Rule2=class:Typist,keystrokes\r\nRule3=class:Term,paste Ctrl+Shift+V\r\n");
        const BxHwnd vault = Window(10, "KeePassXC"), typist = Window(11, "Typist"),
                     term = Window(12, "Term"), other = Window(13, "Other");
        QCOMPARE(TypeInto(vault, "addr "), QByteArray("addr "));
        QCOMPARE(TypeInto(typist, "addr "), QByteArray("12 Main St "));
        QCOMPARE(Form->Typing->ClipboardTypedCount, 0);
        QCOMPARE(TypeInto(term, "addr "), QByteArray("12 Main St "));
        // The Space that ended the keyword is pasted with the text.
        QCOMPARE(Form->Typing->ClipboardTypedCount, 11);
        QCOMPARE(TypeInto(other, "addr "), QByteArray()); // pasted with F12: lost
        // The excluded program left nothing behind in the engine.
        QCOMPARE(TypeInto(vault, "ad"), QByteArray("ad"));
        QCOMPARE(Form->Engine->GetWord(), QByteArray());
    }

    void passwordFieldsAreNotFollowed() {
        StartWith({});
        const BxHwnd login = Window(20, "Login"), editor = Window(21, "Editor");
        BxVirtualSetPasswordFocus(20);
        QCOMPARE(TypeInto(login, "addr "), QByteArray("addr "));
        QCOMPARE(TypeInto(login, "addr"), QByteArray("addr"));
        QCOMPARE(Form->Engine->GetWord(), QByteArray()); // never in the buffer
        // The same keyword in another program's window expands.
        QCOMPARE(TypeInto(editor, "addr "), QByteArray("12 Main St "));
        // Once the field loses the focus, the program is followed again.
        BxVirtualSetPasswordFocus(0);
        QCOMPARE(TypeInto(login, "addr "), QByteArray("12 Main St "));
    }

    void preferencesPageEditsTheRulesAndRefusesBadOnes() {
        TSettings settings;
        settings.AppRules.Rules = {
            TAppRule{TAppField::Class, QStringLiteral("XTerm"), TAppAction::PasteKey,
                     TextToKeyCode("Shift+Ins")},
            TAppRule{TAppField::Any, QStringLiteral("vim"), TAppAction::Keystrokes, 0}};
        settings.AppRuleProblems = {QStringLiteral("[AppRules] Rule3: unknown action")};
        TPreferencesDlg dlg(settings, QStringLiteral("/x.ini"), TPreferencesDlg::pgApplications);
        QStringList messages;
        dlg.ShowMessage = [&](const QString& m) { messages << m; };
        TAppRulesPage* page = dlg.AppsPage;
        QCOMPARE(dlg.PageControl->currentWidget(), page);
        QCOMPARE(page->RulesGrid->rowCount(), 2);
        QVERIFY(!page->ProblemsLbl->isHidden());
        QVERIFY(page->PasswordChk->isChecked());
        QVERIFY(!page->RestoreClipboardChk->isChecked());
        QVERIFY(!page->ClipboardLimitEdit->isEnabled());
        dlg.resize(720, 520);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.grab().save(QDir::temp().filePath(QStringLiteral("brevix_apprules_page.png")));

        // A new rule with a paste key that is no key: OK refuses it and says why.
        page->AddRule();
        const int row = page->RulesGrid->rowCount() - 1;
        page->RulesGrid->item(row, TAppRulesPage::colApplication)->setText(QStringLiteral("kitty"));
        qobject_cast<QComboBox*>(page->RulesGrid->cellWidget(row, TAppRulesPage::colAction))
            ->setCurrentIndex(2);
        page->RulesGrid->item(row, TAppRulesPage::colPasteKey)
            ->setText(QStringLiteral("Ctrl+Nope"));
        dlg.OkBtnClick();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(QStringLiteral("row 3")));
        page->RulesGrid->item(row, TAppRulesPage::colPasteKey)
            ->setText(QStringLiteral("Ctrl+Shift+V"));
        page->RestoreClipboardChk->setChecked(true);
        page->ClipboardLimitEdit->setValue(2048);
        page->MoveRule(row, -1); // before vim
        page->AddRule();         // left empty: not a rule, dropped
        dlg.OkBtnClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const TSettings out = dlg.Result();
        QCOMPARE(out.AppRules.Rules.size(), size_t(3));
        QCOMPARE(out.AppRules.Rules[1].Pattern, QStringLiteral("kitty"));
        QCOMPARE(out.AppRules.Rules[1].PasteKey, TextToKeyCode("Ctrl+Shift+V"));
        QCOMPARE(out.AppRules.Rules[2].Action, TAppAction::Keystrokes);
        QVERIFY(out.AppRuleProblems.isEmpty());
        QVERIFY(out.AppOptions.RestoreClipboard);
        QCOMPARE(out.AppOptions.RestoreClipboardLimitKB, 2048);

        page->RestoreDefaults();
        TAppRules rules;
        QString error;
        QVERIFY(page->Rules(rules, error));
        QCOMPARE(rules.Rules, TAppRules::Defaults().Rules);
    }

    void passwordFieldsFollowedWhenTheUserSaysSo() {
        StartWith("[Desktop]\r\nSkipPasswordFields=0\r\n");
        const BxHwnd login = Window(30, "Login");
        BxVirtualSetPasswordFocus(30);
        QCOMPARE(TypeInto(login, "addr "), QByteArray("12 Main St "));
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TAppRulesFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_apprules_form.moc"
