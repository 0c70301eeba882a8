#include "tags/gui/SpellCheckDialog.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>

namespace {
QList<QPointer<QTimer>> pendingTimers;

// Runs `step` on each modal window that comes up, until it returns false.
void WhileModal(std::function<bool(QWidget*)> step) {
    auto* timer = new QTimer;
    pendingTimers << timer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (!step(modal)) timer->deleteLater();
    });
    timer->start();
}

// Answers the dialog with the given buttons in turn, then OK on the closing message.
void Answer(const QList<const char*>& buttons, QStringList* boxTexts = nullptr) {
    auto next = std::make_shared<qsizetype>(0);
    WhileModal([=](QWidget* modal) {
        if (auto* dlg = qobject_cast<TSpellCheckDlg*>(modal)) {
            if (*next < buttons.size())
                dlg->findChild<QPushButton*>(QLatin1String(buttons[(*next)++]))->click();
            return true;
        }
        if (auto* box = dynamic_cast<TMessageBox*>(modal)) {
            if (boxTexts) *boxTexts << box->FullText();
            box->accept();
            return false;
        }
        return true;
    });
}
} // namespace

class SpellCheckDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir config;

private slots:
    void cleanup() {
        for (const QPointer<QTimer>& timer : pendingTimers)
            delete timer.data();
        pendingTimers.clear();
    }

    void initTestCase() {
        TSpellChecker::ConfigureShared(config.path(), QStringLiteral("en_US"));
        QVERIFY(TSpellChecker::Shared().Available());
    }

    void buttonsWalkTheWordsAndChangeTheText() {
        TSpellChecker& checker = TSpellChecker::Shared();
        QString text = QStringLiteral("I recieve teh {@REM wrods} mail, teh end of qzxv");
        TSpellSession session(checker, text);
        QVERIFY(session.Next());
        TSpellCheckDlg dlg(session);
        QCOMPARE(dlg.WordEdit->text(), QStringLiteral("receive"));
        QVERIFY(dlg.ContextView->toPlainText().contains(QStringLiteral("recieve")));
        QVERIFY(dlg.ChangeBtn->isDefault());
        if (const QString screens = qEnvironmentVariable("BREVIX_SCREENS"); !screens.isEmpty()) {
            dlg.show();
            QVERIFY(dlg.grab().save(screens + QStringLiteral("/spellcheck.png")));
        }
        dlg.ChangeBtn->click();
        QCOMPARE(session.Word(), QStringLiteral("teh"));
        // Typing the word itself back leaves nothing to change.
        dlg.WordEdit->setText(QStringLiteral("teh"));
        QVERIFY(!dlg.ChangeBtn->isEnabled());
        const auto the = dlg.SuggestionList->findItems(QStringLiteral("the"), Qt::MatchExactly);
        QVERIFY(!the.isEmpty());
        dlg.SuggestionList->setCurrentItem(the[0]);
        QCOMPARE(dlg.WordEdit->text(), QStringLiteral("the"));
        dlg.ChangeAllBtn->click();
        QCOMPARE(session.Word(), QStringLiteral("qzxv"));
        // No suggestions: Enter moves on instead of changing.
        QVERIFY(dlg.IgnoreBtn->isDefault());
        dlg.AddBtn->click();
        QVERIFY(session.Done());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(session.Text(),
                 QStringLiteral("I receive the {@REM wrods} mail, the end of qzxv"));
        QVERIFY(checker.PersonalWords().contains(QStringLiteral("qzxv")));
    }

    void cancelLeavesTheTextAsItWas() {
        QString text = QStringLiteral("Thsi is wrnog.");
        Answer({"ChangeBtn", "CancelBtn"});
        QVERIFY(!SpellCheckText(nullptr, text));
        QCOMPARE(text, QStringLiteral("Thsi is wrnog."));
    }

    void doneGivesTheTextBackAndSays() {
        QString text = QStringLiteral("It is wrnog, wrnog and recieve.");
        QStringList boxes;
        Answer({"ChangeAllBtn", "ChangeBtn"}, &boxes);
        QVERIFY(SpellCheckText(nullptr, text));
        QCOMPARE(text, QStringLiteral("It is wrong, wrong and receive."));
        QCOMPARE(boxes, QStringList{QStringLiteral("The spelling check is complete.")});

        QString clean = QStringLiteral("All good {@KEY ENTER} here.");
        boxes.clear();
        Answer({}, &boxes);
        QVERIFY(SpellCheckText(nullptr, clean));
        QCOMPARE(boxes, QStringList{QStringLiteral("No misspelt words were found.")});
    }

    void editorChangesAreOneUndoStep() {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("one tpyo\nand anothr tpyo"));
        Answer({"ChangeAllBtn", "ChangeBtn"});
        QVERIFY(SpellCheckText(&editor));
        QCOMPARE(editor.toPlainText(), QStringLiteral("one typo\nand another typo"));
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("one tpyo\nand anothr tpyo"));

        QTextEdit rich;
        rich.setPlainText(QStringLiteral("a tpyo"));
        Answer({"CancelBtn"});
        QVERIFY(!SpellCheckText(&rich));
        QCOMPARE(rich.toPlainText(), QStringLiteral("a tpyo"));
    }

    void missingDictionarySaysSoAndChangesNothing() {
        QTemporaryDir empty;
        TSpellChecker none(QStringLiteral("en_US"), {empty.path()});
        QString text = QStringLiteral("wrnog");
        QStringList boxes;
        Answer({}, &boxes);
        QVERIFY(!SpellCheckWith(none, nullptr, text));
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].contains(QStringLiteral("hunspell-en-us")));
        QCOMPARE(text, QStringLiteral("wrnog"));
    }
};

QTEST_MAIN(SpellCheckDialogTest)
#include "SpellCheckDialogTest.moc"
