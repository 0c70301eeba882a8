#pragma once
// "Next Key Typed": waits for the next key pressed anywhere, as reported by
// the hook library in its next-key state, and gives its shortcut code.
#include "hook/HookApi.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

class TNextKeyDlg : public QDialog {
    Q_OBJECT
public:
    explicit TNextKeyDlg(QWidget* parent = nullptr);
    ~TNextKeyDlg() override;

    // The id the library posts the next key to.
    BxHwnd Handle() const { return handle_; }
    uint16_t Code() const { return code_; }
    bool Armed() const { return armed_; }
    // The next key (BX_MSG_NEXT_KEY): wParam the shortcut code, lParam 0 for a
    // release, else a press.
    intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CancelBtnClick();

    BxHwnd handle_ = 0;
    bool armed_ = false;
    bool done_ = false;
    uint16_t code_ = 0;
};

// The code of the next key pressed anywhere, or 0 when cancelled.
uint16_t NextKeyDialog(QWidget* parent = nullptr);
