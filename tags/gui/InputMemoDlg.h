#pragma once
// "Brevix  Text To Type": holds a text with input fields while they are
// asked for, shows the filled-in text for review, prints it, saves the
// session, and hands the finished text to the main window to be typed.
// One exists at a time (Instance()); it deletes itself when closed.
#include "tags/InputFields.h"
#include "tags/InputList.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TInputFieldProcess;
class TInputHost;
class TMemoEdit;

class TInputMemoDlg : public QDialog {
    Q_OBJECT
public:
    static TInputMemoDlg* Instance();
    // Made when none exists; the text (Windows-1252, CR LF) is then filled in.
    static TInputMemoDlg* StartInputText(TInputHost& host, const QByteArray& text);
    // Called with each window made, before its fields run: where tests attach
    // their answers to a window opened from an expansion.
    static inline std::function<void(TInputMemoDlg&)> Made;

    // Another entry's text while the window exists: into the form's free-text
    // box when it shows, else into the text at the caret. False, and nothing
    // inserted, while a field is asked for on another page: the text is not
    // on show then, and the field's answer would overwrite what went in.
    bool InsertEntryText(const QString& text);

    QByteArray FinishedText() const;
    TBXInputList& List() { return *list_; }
    TInputFieldProcess& Process() { return *process_; }

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton *TypeItBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr,
                *RestartBtn = nullptr, *PrintBtn = nullptr, *UndoBtn = nullptr, *SpellBtn = nullptr,
                *SaveExitBtn = nullptr;
    QLabel* StatusLbl = nullptr;

    void TypeItBtnClick();
    void RestartBtnClick();
    void PrintBtnClick();
    void CancelBtnClick();
    void SaveExitBtnClick();

signals:
    // The window shows the filled-in text for review.
    void ReviewShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    TInputMemoDlg(TInputHost& host, QWidget* parent);
    ~TInputMemoDlg() override;
    void Restart();
    // Runs the fields; true when the text is to go on to typing or printing.
    bool RunFields();
    void Cancel();
    void TimerTimer();
    void PrintText();

    TInputHost& host_;
    std::unique_ptr<TBXInputList> list_;
    std::unique_ptr<TInputFieldProcess> process_;
    std::unique_ptr<TMemoEdit> edit_;
    TKeptTags kept_;
    QString original_;
    QTimer* Timer1 = nullptr;
    bool typeOnClose_ = false;
    bool running_ = false;
    bool closing_ = false;
};
