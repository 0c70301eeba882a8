// The "Spelling" page of the preferences, on its own and through the main window.
#include "shell/PreferencesDialog.h"
#include "shell/SpellingPage.h"
#include "tags/SpellChecker.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

class TSpellingPageTest : public QObject, TFormHarness {
    Q_OBJECT
private slots:
    void languagesAndAMissingChoice() {
        QTemporaryDir dicts;
        QVERIFY(WriteFile(dicts.filePath("de_DE.aff"), "SET UTF-8\n"));
        QVERIFY(WriteFile(dicts.filePath("de_DE.dic"), "1\nHaus\n"));
        QVERIFY(WriteFile(dicts.filePath("xx_YY.dic"), "1\nalone\n")); // no .aff: not offered
        TSpellingPage automatic(QString(), Dir.path(), {dicts.path()});
        QCOMPARE(automatic.LanguageCombo->count(), 2);
        QCOMPARE(automatic.Language(), QString());
        QCOMPARE(automatic.LanguageCombo->itemData(1).toString(), QStringLiteral("de_DE"));

        TSpellingPage gone(QStringLiteral("fr_FR"), Dir.path(), {dicts.path()});
        QCOMPARE(gone.Language(), QStringLiteral("fr_FR"));
        QVERIFY(gone.LanguageCombo->currentText().contains(QStringLiteral("not installed")));
    }

    void wordsAreSplitAndRepeatsDropped() {
        Reset();
        QVERIFY(WriteFile(P(TSpellChecker::PersonalListName), "alpha\n\xff\xfe\nbeta\n"));
        TSpellingPage page(QString(), Dir.path());
        QCOMPARE(page.WordsMemo->toPlainText(), QStringLiteral("alpha\nbeta"));
        QVERIFY(!page.WordsChanged());
        QVERIFY(page.findChild<QLabel*>(QStringLiteral("ProblemLbl"))->text().contains("damaged"));
        page.WordsMemo->setPlainText(QStringLiteral(" alpha  gamma\n\nbeta\nalpha\n"));
        QCOMPARE(page.Words(), (QStringList{"alpha", "gamma", "beta"}));
        QVERIFY(page.WordsChanged());
    }

    void okSavesTheListAndTheLanguage() {
        Reset();
        Start();
        Form->PrepareDialog = [](QDialog* d) {
            auto* dlg = static_cast<TPreferencesDlg*>(d);
            dlg->SpellingPage->WordsMemo->setPlainText(QStringLiteral("zorkle\nfrobnitz"));
            dlg->SpellingPage->LanguageCombo->setCurrentIndex(
                dlg->SpellingPage->LanguageCombo->findData(QStringLiteral("en_US")));
            QTimer::singleShot(0, dlg, &QDialog::accept);
        };
        QVERIFY(Form->Preferences1Click(TPreferencesDlg::pgSpelling));
        QCOMPARE(Form->Settings.SpellLanguage, QStringLiteral("en_US"));
        QVERIFY(ReadFile(P(QStringLiteral("Brevixo.ini"))).contains("SpellLanguage=en_US"));
        QCOMPARE(ReadFile(P(TSpellChecker::PersonalListName)), QByteArray("zorkle\nfrobnitz\n"));
        QVERIFY(TSpellChecker::Shared().IsCorrect(QStringLiteral("Zorkle")));

        // Cancel keeps the list as it was.
        Form->PrepareDialog = [](QDialog* d) {
            auto* dlg = static_cast<TPreferencesDlg*>(d);
            dlg->SpellingPage->WordsMemo->clear();
            QTimer::singleShot(0, dlg, &QDialog::reject);
        };
        QVERIFY(!Form->Preferences1Click(TPreferencesDlg::pgSpelling));
        QCOMPARE(ReadFile(P(TSpellChecker::PersonalListName)), QByteArray("zorkle\nfrobnitz\n"));
        if (const QString screens = qEnvironmentVariable("BREVIX_SCREENS"); !screens.isEmpty()) {
            TPreferencesDlg dlg(Form->Settings, Form->IniPath(), TPreferencesDlg::pgSpelling);
            dlg.show();
            dlg.grab().save(screens + QStringLiteral("/preferences_spelling.png"));
        }
        Stop();
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    TSpellingPageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_spelling_page.moc"
