#pragma once
// "Find Your Typing Speed": the user types for five seconds; the characters
// typed times twelve are the speed in characters per minute.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;

class TSpeedTestDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int TestSeconds = 5;

    explicit TSpeedTestDlg(int speed, QWidget* parent = nullptr);
    // The measured speed, or the caller's until a test has run to its end.
    int Speed() const { return speed_; }
    bool Running() const;

    QStackedWidget* PageControl1 = nullptr;
    QLabel* InstructionsLbl = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* CounterPnl = nullptr;
    QLabel* ResultLbl = nullptr;
    QPushButton* CloseBtn = nullptr;
    QTimer* Timer1 = nullptr;

    // One second of the test has passed.
    void Timer1Timer();
    void CloseBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartTest();
    void StopTest();

    int speed_;
    int count_ = 0;
};
