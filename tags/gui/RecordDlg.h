#pragma once
// "Recording Keystrokes": while it shows, the hook library sends every key
// typed in any program to it; Stop turns them into text to type.
#include "hook/HookApi.h"
#include "tags/KeyRecording.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

// What the recorder needs of the program around it; the shell fills it.
struct TRecorderHost {
    using THandler = std::function<intptr_t(uint32_t, uintptr_t, intptr_t)>;
    // Routes the hook library's messages for a window to the handler, and stops.
    std::function<void(BxHwnd, THandler)> Watch;
    std::function<void(BxHwnd)> Unwatch;
    std::function<void(int state)> SetFSM;
    // Gives the focus back to the program the user was working in.
    std::function<void()> ReturnFocus;
    // Brings this program to the front once the recording stops.
    std::function<void()> BringToFront;
    // The tray offers Stop and Cancel while on is true.
    std::function<void(bool on)> TrayRecording;
    // The window in front; the hook library's answer when empty.
    std::function<uint32_t()> Foreground;
};

class TRecordDlg : public QDialog {
    Q_OBJECT
public:
    TRecordDlg(const TRecorderHost& host, QWidget* parent = nullptr);
    ~TRecordDlg() override;

    // The recorder that runs now, for the tray's menu; nullptr when none.
    static TRecordDlg* Active();

    // The native window the hook library's keys go to; 0 until it exists.
    BxHwnd Handle() const { return handle_; }
    // A key from the hook library (BX_MSG_RECORD_KEY, laid out as the main
    // window's key message).
    intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void StopBtnClick();
    void CancelBtnClick();
    const QString& Text() const { return text_; }
    const TKeyRecording& Recording() const { return recording_; }

    QLabel* CountLbl = nullptr;
    QPushButton* StopBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QTimer* BlinkTimer = nullptr;
    // Yes to giving up the keys recorded; tests replace it.
    std::function<bool(const QString&)> AskYes;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Points the hook library at the native window the dialog has now: it is
    // made on showing and may be made again later.
    void Register();
    const TRecorderHost& host_;
    TKeyRecording recording_;
    QElapsedTimer clock_;
    QString text_;
    QString caption_;
    BxHwnd handle_ = 0;
};

// Runs one recording; the text recorded, empty when cancelled or when
// nothing was recorded. prepare lets tests drive the recorder.
QString RecordKeystrokes(const TRecorderHost& host, QWidget* parent,
                         const std::function<void(TRecordDlg*)>& prepare = {});
