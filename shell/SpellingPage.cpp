#include "shell/SpellingPage.h"

#include "tags/SpellChecker.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QVBoxLayout>

TSpellingPage::TSpellingPage(const QString& language, const QString& configDir,
                             const QStringList& dictionaryDirs, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("SpellingPage"));
    LanguageCombo = new QComboBox(this);
    LanguageCombo->setObjectName(QStringLiteral("LanguageCombo"));
    LanguageCombo->addItem(tr("As the system's language (%1)").arg(QLocale::system().name()),
                           QString());
    const QStringList installed = TSpellChecker::InstalledLanguages(dictionaryDirs);
    for (const QString& name : installed) {
        const QLocale locale(name);
        const QString nativeName =
            locale.language() == QLocale::C
                ? QString()
                : QStringLiteral(" - ") + QLocale::languageToString(locale.language());
        LanguageCombo->addItem(name + nativeName, name);
    }
    // A stored language whose dictionary is gone stays chosen, marked.
    if (!language.isEmpty() && !installed.contains(language))
        LanguageCombo->addItem(tr("%1 (not installed)").arg(language), language);
    LanguageCombo->setCurrentIndex(std::max(0, LanguageCombo->findData(language)));

    const TSpellChecker::TPersonalList list = TSpellChecker::ReadPersonalList(configDir);
    initialWords_ = list.Words;
    WordsMemo = new QPlainTextEdit(this);
    WordsMemo->setObjectName(QStringLiteral("WordsMemo"));
    WordsMemo->setTabChangesFocus(true);
    WordsMemo->setPlainText(list.Words.join(QLatin1Char('\n')));
    ProblemLbl = new QLabel(list.Problem, this);
    ProblemLbl->setObjectName(QStringLiteral("ProblemLbl"));
    ProblemLbl->setWordWrap(true);
    ProblemLbl->setVisible(!list.Problem.isEmpty());

    auto* languageLbl = new QLabel(tr("&Dictionary language:"), this);
    languageLbl->setBuddy(LanguageCombo);
    auto* wordsLbl = new QLabel(tr("&Personal word list (one word per line):"), this);
    wordsLbl->setBuddy(WordsMemo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(languageLbl);
    layout->addWidget(LanguageCombo);
    if (installed.isEmpty()) {
        auto* none = new QLabel(
            tr("No spelling dictionary is installed (for English: the package hunspell-en-us)."),
            this);
        none->setWordWrap(true);
        layout->addWidget(none);
    }
    layout->addWidget(wordsLbl);
    layout->addWidget(WordsMemo, 1);
    layout->addWidget(ProblemLbl);
}

QString TSpellingPage::Language() const {
    return LanguageCombo->currentData().toString();
}

QStringList TSpellingPage::Words() const {
    QStringList words;
    QSet<QString> seen;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& word : WordsMemo->toPlainText().split(blanks, Qt::SkipEmptyParts)) {
        if (seen.contains(word)) continue;
        seen.insert(word);
        words << word;
    }
    return words;
}
