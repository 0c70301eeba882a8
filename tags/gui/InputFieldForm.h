#pragma once
// The form that asks for one input field at a time (free text, pick list,
// date, message; it also reads files and runs Tcl fields), and, stripped
// down, the one-field input box of the script commands. Each operation waits
// in a local event loop until a button decides and returns its navigation code.
#include "tags/InputFields.h"

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class TDateEdit;
class TInputHost;
class TPickList;

class TInputFieldForm : public QWidget {
    Q_OBJECT
public:
    // inputBox: the stripped-down box of the script commands.
    explicit TInputFieldForm(TInputHost* host, bool inputBox = false, QWidget* parent = nullptr);
    ~TInputFieldForm() override;

    int AskText(const QString& caption, const TInputField& field, QByteArray& value, int number);
    int AskPickList(const QString& caption, const TInputField& field, int number,
                    QByteArray& value);
    int AskDate(const QString& caption, const TInputField& field, QByteArray& value, int number);
    int ReadFile(const QString& caption, const TInputField& field, QByteArray& value, int number);
    int RunTcl(const QString& caption, const QString& script, int number, QByteArray& value);
    int ShowFieldMessage(const QString& caption, const QString& title, int number,
                         const QString& message);

    // The input box pages; true when confirmed with "&OK".
    bool BoxLine(QString& text, const QString& prompt);
    bool BoxMemo(QString& text, const QString& prompt, bool spell);
    bool BoxMessage(const QString& text, const QString& prompt);
    bool BoxDate(QDate& date, const QString& prompt);
    bool BoxPickList(QList<int>& chosen, const QStringList& items, const QString& prompt,
                     bool multiple);

    // The free-text page is showing: another entry's text goes into it.
    bool FreeFormShowing() const;
    void InsertText(const QString& text);
    // The hook library's state while this form has the keyboard: keys are
    // watched (1) only on a field's free-text page, where entries expand into
    // the answer; suspended (3) elsewhere.
    int WantedFSM() const;
    // The field form on show, wherever it was opened from (the input text
    // window, a script's input box): the active one first, then a modal one;
    // null when none shows.
    static TInputFieldForm* Showing();
    // As Showing, else one that exists hidden, one still waiting for an
    // answer first (a script may have hidden it).
    static TInputFieldForm* Existing();
    int Result() const { return result_; }
    void SetResult(int code) { result_ = code; }

    QStackedWidget* Notebook1 = nullptr;
    QWidget *FreeFormPage = nullptr, *PickListPage = nullptr, *DatePage = nullptr,
            *ErrorPage = nullptr, *OneLinePage = nullptr;
    QLabel* TitleLbl = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton *CutBtn = nullptr, *CopyBtn = nullptr, *PasteBtn = nullptr, *SelectAllBtn = nullptr,
                *UndoBtn = nullptr;
    TPickList* PickList1 = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QSpinBox* ColumnsEdit = nullptr;
    QPushButton *PickAllBtn = nullptr, *ClearBtn = nullptr;
    QLabel* StatusLbl = nullptr;
    TDateEdit* DateEdit = nullptr;
    QPushButton* CalendarBtn = nullptr;
    QRadioButton *LongDateRadio = nullptr, *ShortDateRadio = nullptr;
    QPlainTextEdit* MsgMemo = nullptr;
    QLineEdit* OneLineEdit = nullptr;
    QPushButton *CancelBtn = nullptr, *HelpBtn = nullptr, *NextBtn = nullptr, *BackBtn = nullptr,
                *RestartBtn = nullptr, *PreviewBtn = nullptr, *SpellBtn = nullptr,
                *SaveSessionBtn = nullptr, *RestoreSessionBtn = nullptr;

signals:
    // The form shows a field and waits: tests answer it from here.
    void WaitStarted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    // topic: the help about the kind of field (InputHelp::kTopics).
    void Begin(const QString& caption, const QString& prompt, int number, QWidget* page,
               QWidget* focus, const char* topic);
    void RunOnShow(const QString& script);
    int Wait();
    void Decide(int code);
    void CancelBtnClick();
    void UpdateButtons();
    void UpdatePickStatus();
    void SearchEditChanged();
    void ShowDateChoices();
    int BoxWait();

    TInputHost* host_;
    bool inputBox_;
    int result_ = 0;
    int number_ = 1;
    bool wantReturns_ = false;
    bool boxMemo_ = false;
    QString iniPath_;
};
