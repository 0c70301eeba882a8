// Keywords typed into the program's own input form expand there: in the
// field form's free text and in the input text window, the keyword erased,
// the text put in and the delimiter after it, once, in order with the keys
// typed after it. And the key translation the form's keys go through.
#include "platform/VirtualKeys.h"
#include "shell/QtKeys.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"
#include "tests/shell/OffscreenDesktop.h"
#include "tests/tags/gui/ScriptedForms.h"
#include "typing/TypingController.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <deque>

class TOwnInputTest : public QObject, TFormHarness {
    Q_OBJECT

    void StartWith(bool autoReplace = true) {
        MakeDictionary(P("d.bxd"), {{"addr", "12 Harbour Street"}, {"sig", "Kind regards"}});
        WriteFile(P("PAGES.CFG"), P("d.bxd").toUtf8() + "\r\n");
        Start();
        Form->show();
        QVERIFY(SpinUntil([this] { return Form->StartupDone; }));
        QVERIFY(Form->AutoReplaceChk->isChecked());
        if (!autoReplace) Form->AutoReplaceChk->click();
        QCOMPARE(Form->AutoReplaceChk->isChecked(), autoReplace);
    }
    // Opens the input text window on a text with one field and runs the actions.
    TInputMemoDlg* Open(std::deque<TAction> steps) {
        auto actions = std::make_shared<std::deque<TAction>>(std::move(steps));
        Form->TypeText("Dear {@INPUT Name}!");
        TInputMemoDlg* dlg = TInputMemoDlg::Instance();
        if (!dlg) return nullptr;
        Script(dlg, actions);
        QSignalSpy shown(dlg, &TInputMemoDlg::ReviewShown);
        if (!shown.wait(5000) || !actions->empty()) return nullptr;
        return dlg;
    }

private slots:
    void init() { Reset(); }
    void cleanup() {
        // Escape in the text cancels without asking; the first may only end a word.
        for (int i = 0; i < 2 && TInputMemoDlg::Instance(); ++i) {
            QPointer<TInputMemoDlg> alive(TInputMemoDlg::Instance());
            QTest::keyClick(alive->Memo1, Qt::Key_Escape);
            SpinUntil([&] { return !alive; });
        }
        Stop();
    }

    void keywordsExpandInTheFieldFormAndTheInputTextWindow() {
        StartWith();
        QString inField;
        TInputMemoDlg* dlg = Open({[&inField](TInputFieldForm& f) {
            QCOMPARE(f.Notebook1->currentWidget(), f.FreeFormPage);
            f.Memo1->clear();
            // The space is kept from the box until the text is in, then follows
            // once; the keys after it land behind it.
            QTest::keyClicks(f.Memo1, "(addr xy Addr, sig.");
            inField = f.Memo1->toPlainText();
            // Enter ends a keyword too, and then does its own work: Next.
            QTest::keyClicks(f.Memo1, " sig");
            QTest::keyClick(f.Memo1, Qt::Key_Return);
        }});
        QVERIFY(dlg);
        QCOMPARE(inField, QString("(12 Harbour Street xy 12 Harbour Street, Kind regards."));
        QCOMPARE(dlg->Memo1->toPlainText(),
                 QString("Dear (12 Harbour Street xy 12 Harbour Street, Kind regards. Kind "
                         "regards!"));
        QVERIFY(Form->Typing->InputFormMode);

        // The input text window's own text; there Enter is Type It, and it
        // comes after the text is in.
        dlg->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(dlg->Memo1, " addr ok sig");
        QVERIFY(dlg->Memo1->toPlainText().endsWith("regards! 12 Harbour Street ok sig"));
        QPointer<TInputMemoDlg> alive(dlg);
        QTest::keyClick(dlg->Memo1, Qt::Key_Return);
        QVERIFY(SpinUntil([&] { return !alive; }));
        QVERIFY(Form->Memo1->toPlainText().endsWith("regards! 12 Harbour Street ok Kind regards"));
        QVERIFY(!Form->Typing->InputFormMode);
    }

    void nothingExpandsWithAutoReplaceOff() {
        StartWith(false);
        TInputMemoDlg* dlg = Open({[](TInputFieldForm& f) {
            f.Memo1->clear();
            QTest::keyClicks(f.Memo1, "addr sig");
            f.NextBtn->click();
        }});
        QVERIFY(dlg);
        QCOMPARE(dlg->Memo1->toPlainText(), QString("Dear addr sig!"));
    }

    void keyEventsBecomeTheCodesTheHookReports() {
        uint16_t code = 0;
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_A, Qt::NoModifier, "a", code));
        QCOMPARE(code, uint16_t('A'));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_A, Qt::ShiftModifier, "A", code));
        QCOMPARE(code, uint16_t('A' | shortcut::Shift));
        // Punctuation is found through the layout: the comma key, the shifted 9.
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_Comma, Qt::NoModifier, ",", code));
        QCOMPARE(code, uint16_t(0xBC));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_ParenLeft, Qt::ShiftModifier, "(", code));
        QCOMPARE(code, uint16_t('9' | shortcut::Shift));
        // Commands carry the modifiers held, whatever text the event has.
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_A, Qt::ControlModifier, "\x01", code));
        QCOMPARE(code, uint16_t('A' | shortcut::Ctrl));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_Insert, Qt::AltModifier, "", code));
        QCOMPARE(code, uint16_t(vk::Insert | shortcut::Alt));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_Space, Qt::ControlModifier, " ", code));
        QCOMPARE(code, uint16_t(vk::Space | shortcut::Ctrl));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_Enter, Qt::KeypadModifier, "\r", code));
        QCOMPARE(code, uint16_t(vk::Return));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_Backtab, Qt::ShiftModifier, "", code));
        QCOMPARE(code, uint16_t(vk::Tab | shortcut::Shift));
        QVERIFY(QtKeys::CodeForKeyEvent(Qt::Key_F5, Qt::NoModifier, "", code));
        QCOMPARE(code, uint16_t(vk::F1 + 4));
        // A modifier alone, or a character no key of the layout types: no code.
        QVERIFY(!QtKeys::CodeForKeyEvent(Qt::Key_Shift, Qt::ShiftModifier, "", code));
        QVERIFY(!QtKeys::CodeForKeyEvent(Qt::Key_unknown, Qt::NoModifier, "\u20AC", code));

        // Back to a key with its character, as the delimiter is handed over.
        QCOMPARE(QtKeys::QtKeyForVk(vk::Space), int(Qt::Key_Space));
        QCOMPARE(QtKeys::TextForVk(vk::Space), QString(" "));
        QCOMPARE(QtKeys::TextForVk(vk::Return), QString("\r"));
        QCOMPARE(QtKeys::TextForVk(vk::Tab), QString("\t"));
        QCOMPARE(QtKeys::TextForVk('Q'), QString("q"));
        QVERIFY(QtKeys::TextForVk(vk::Left).isEmpty());
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TOwnInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_own_input.moc"
