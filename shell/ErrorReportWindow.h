#pragma once
// The error report: the unexpected errors of this run in a list, each with
// its details, and the whole report copied to the clipboard for a support
// request. One window at a time; it follows new errors as they come.
#include <QDialog>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TErrorReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TErrorReportDlg(QWidget* parent = nullptr);

    // The one window, created or brought forward.
    static TErrorReportDlg* ShowReport(QWidget* parent = nullptr);
    // Errors are recorded from now on; the first critical one of the run
    // offers the report.
    static void Install();
    // A failure nobody expected: said in a box that offers the report.
    static void OfferReport(QWidget* parent, const QString& message);
    // The window the user works in and the control with the focus, by name
    // only ("window MainForm, focus KeywordEdit"), never what they hold.
    static QString FocusContext();

    QListWidget* ErrorList = nullptr;
    QPlainTextEdit* DetailMemo = nullptr;
    QPushButton* CopyBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

    void Refresh();

private:
    void ErrorListCurrentRowChanged(int row);
    void CopyBtnClick();
    void ClearBtnClick();
};
