#pragma once
// The Find dialog: a search string with case and whole-word options. It
// stays open beside the main window until Find Next or Cancel, keeps its
// string and options between searches, and searches a text box for its
// owner (MemoControl), selecting the occurrence it finds there.
#include "dictionary/TextSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TXFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TXFindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    TSearchOptions Options() const;

    // The box Execute searches; not owned.
    QPlainTextEdit* MemoControl = nullptr;
    // Shown when Execute finds nothing; "%1" is the search string. Empty: silent.
    QString NotFoundMsg = QStringLiteral("Search string \"%1\" not found");

    // Searches MemoControl from the end of its selection and selects what it
    // finds; then WordFound or WordNotFound. True when found.
    bool Execute();
    // The same search on any box: the position found (then selected) or -1.
    static qsizetype SearchEdit(QPlainTextEdit* edit, const QString& what, TSearchOptions options);

    QLineEdit* FindEdit = nullptr;
    QCheckBox* WholeWordChk = nullptr;
    QCheckBox* MatchCaseChk = nullptr;
    QPushButton* FindNextBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

signals:
    // Find Next was pressed (OnFind).
    void Find();
    void WordFound();
    void WordNotFound();
};
