#pragma once
// The window of the diagnostic log: the lines scripts wrote with
// "bx_debug msg", the switch that turns the log on, copy and clear.
#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TDiagnosticLog;

class TDiagnosticLogDlg : public QDialog {
    Q_OBJECT
public:
    // The log outlives the window; enabledChanged keeps the setting.
    TDiagnosticLogDlg(TDiagnosticLog& log, std::function<void(bool)> enabledChanged,
                      QWidget* parent = nullptr);
    ~TDiagnosticLogDlg() override;

    QCheckBox* EnabledCheck = nullptr;
    QPlainTextEdit* LogMemo = nullptr;
    QPushButton* CopyBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

private:
    void EnabledCheckToggled(bool on);
    void CopyBtnClick();
    void ClearBtnClick();
    void UpdateStatus();

    TDiagnosticLog& log_;
    std::function<void(bool)> enabledChanged_;
    QLabel* StatusLbl = nullptr;
};
