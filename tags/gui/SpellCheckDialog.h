#pragma once
// The spelling dialog: walks the misspelt words of a text, one at a time,
// with the word in its line and the dictionary's suggestions.
#include "tags/SpellSession.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;
class QTextEdit;

// Walks the misspelt words of `text`; returns false when the user cancelled (text then
// unchanged), true when done (text holds the changes).
bool SpellCheckText(QWidget* parent, QString& text);
// The same over an editor's whole text; the changes become one undo step.
bool SpellCheckText(QPlainTextEdit* editor);
bool SpellCheckText(QTextEdit* editor);

class TSpellCheckDlg : public QDialog {
    Q_OBJECT
public:
    // The session must have found its first word (Next() true).
    TSpellCheckDlg(TSpellSession& session, QWidget* parent = nullptr);

    QTextEdit* ContextView = nullptr;
    QLineEdit* WordEdit = nullptr;
    QListWidget* SuggestionList = nullptr;
    QPushButton* IgnoreBtn = nullptr;
    QPushButton* IgnoreAllBtn = nullptr;
    QPushButton* ChangeBtn = nullptr;
    QPushButton* ChangeAllBtn = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void IgnoreBtnClick();
    void IgnoreAllBtnClick();
    void ChangeBtnClick();
    void ChangeAllBtnClick();
    void AddBtnClick();
    void SuggestionListCurrentRowChanged(int row);
    void WordEditTextChanged(const QString& text);
    // Shows the session's current word, or closes with OK when none is left.
    void ShowCurrent();

    TSpellSession& session_;
    QLabel* WordLbl = nullptr;
};

// The walk itself, with the checker given; for the functions above and for tests.
bool SpellCheckWith(TSpellChecker& checker, QWidget* parent, QString& text,
                    QList<TSpellSession::TEdit>* edits = nullptr);
