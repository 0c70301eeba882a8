#pragma once
// The "Spelling" page of the preferences: the dictionary's language and the
// personal word list, edited as text, one word per line.
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;

class TSpellingPage : public QWidget {
    Q_OBJECT
public:
    // language: the stored choice, empty for the user's locale. configDir:
    // where the personal list lives. dictionaryDirs: empty for the system's.
    TSpellingPage(const QString& language, const QString& configDir,
                  const QStringList& dictionaryDirs = {}, QWidget* parent = nullptr);

    QString Language() const;
    // The words as edited: split at blanks, repeats left out.
    QStringList Words() const;
    bool WordsChanged() const { return Words() != initialWords_; }

    QComboBox* LanguageCombo = nullptr;
    QPlainTextEdit* WordsMemo = nullptr;

private:
    QStringList initialWords_;
    QLabel* ProblemLbl = nullptr;
};
