#pragma once
// The statistics dialog: characters typed by the user and by Brevix since
// the counters were last reset, and the time that saved at the user's speed.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;
class TKeyStatistics;

class TStatisticsDlg : public QDialog {
    Q_OBJECT
public:
    // Runs the speed test from a speed; returns the measured one (or the
    // given one when the test was not finished).
    using TSpeedTest = std::function<int(int speed)>;

    // Reads "UserCPM" and the position of section "StatDlg" from iniPath and
    // writes them back when destroyed (nothing with an empty path).
    TStatisticsDlg(TKeyStatistics& statistics, const QString& iniPath, QWidget* parent = nullptr);
    ~TStatisticsDlg() override;

    // Replaces the speed test dialog (tests).
    void SetSpeedTest(TSpeedTest test) { speedTest_ = std::move(test); }
    void Refresh();

    QLabel* DateLbl = nullptr;
    QLabel* TotalLbl = nullptr;
    QLabel* AutoLbl = nullptr;
    QLabel* TimeSavedLbl = nullptr;
    QSpinBox* SpeedEdit = nullptr;
    QPushButton* SpeedTestBtn = nullptr;
    QPushButton* ResetBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

    void SpeedEditChange();
    void ResetBtnClick();
    void SpeedTestBtnClick();

private:
    TKeyStatistics& statistics_;
    QString iniPath_;
    TSpeedTest speedTest_;
    qint64 program_ = 0;
};
