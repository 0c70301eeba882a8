#pragma once
// The small dialogs of the tags menu, each building the text of one tag:
// input field, date field, file field and message. The Tcl script dialog
// belongs to the script layer and comes through TEditorServices.
#include "tags/gui/PlacedDialog.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
struct TEditorServices;

// "Define @INPUT Tag"; without a pick list "Insert @INPUT Tag Into Pick List".
class TInputTagDlg : public TPlacedDialog {
    Q_OBJECT
public:
    TInputTagDlg(const TEditorServices& services, bool withPickList, QWidget* parent);
    QString TagText() const;

    QLineEdit* PromptEdit = nullptr;
    QLineEdit* NameEdit = nullptr;
    QPlainTextEdit* PickListMemo = nullptr;
    QLabel* ItemsLbl = nullptr;
    QPushButton* TagsBtn = nullptr;
    QCheckBox* MultipleChk = nullptr;
    QLineEdit* SeparatorEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    // Yes to "Abandon changes"; tests replace it.
    std::function<bool(const QString&)> AskYes;

    void reject() override;

private:
    QStringList PickList() const;
    bool changed_ = false;
};

// "Define @INPUTDATE Tag".
class TInputDateTagDlg : public TPlacedDialog {
    Q_OBJECT
public:
    TInputDateTagDlg(const TEditorServices& services, QWidget* parent);
    QString TagText() const;

    QLineEdit* PromptEdit = nullptr;
    QLineEdit* NameEdit = nullptr;
    QRadioButton* ShortRadio = nullptr;
    QRadioButton* LongRadio = nullptr;
};

// "Define @INPUTFILE Tag".
class TInputFileTagDlg : public TPlacedDialog {
    Q_OBJECT
public:
    TInputFileTagDlg(const TEditorServices& services, QWidget* parent);
    QString TagText() const;
    // A file chosen in the dictionary's folder is written as its bare name.
    void ChooseFile(const QString& path);
    void BrowseBtnClick();
    void NotepadBtnClick();

    QLineEdit* NameEdit = nullptr;
    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseBtn = nullptr;
    QPushButton* NotepadBtn = nullptr;
    QPushButton* OKBtn = nullptr;

private:
    const TEditorServices& services_;
};

// The message an input session shows.
class TInputMsgTagDlg : public TPlacedDialog {
    Q_OBJECT
public:
    TInputMsgTagDlg(const TEditorServices& services, QWidget* parent);
    QString TagText() const;

    QPlainTextEdit* MsgMemo = nullptr;
    QPushButton* OKBtn = nullptr;
};
