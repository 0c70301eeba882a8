#pragma once
// "Select Shortcut Key": shows a shortcut code as a key picture with its name
// and the Ctrl, Alt and Shift boxes; the key itself is captured with "Next
// Key Typed".
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// A key cap drawn to scale: square for a one-character name, wide otherwise.
class TKeyPicture : public QWidget {
    Q_OBJECT
public:
    TKeyPicture(bool wide, QWidget* parent);
    QSize sizeHint() const override;
    bool Wide() const { return wide_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool wide_;
};

class TShortcutDlg : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutDlg(QWidget* parent = nullptr);

    // Shows the code's key (without modifiers) and sets the boxes from it.
    void ShowCode(uint16_t code);
    uint16_t ShownCode() const { return shown_; }
    // The shown key with exactly the ticked modifiers; 0 when none is shown.
    uint16_t Result() const;

    void NextKeyBtnClick();
    void ClearBtnClick();

    QGroupBox* KeyGroup = nullptr;
    TKeyPicture* SmallKeyImg = nullptr;
    TKeyPicture* WideKeyImg = nullptr;
    QLabel* KeyLbl = nullptr;
    QCheckBox* CtrlChk = nullptr;
    QCheckBox* AltChk = nullptr;
    QCheckBox* ShiftChk = nullptr;
    QPushButton* NextKeyBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    uint16_t shown_ = 0;
};

// True on OK with the new code in `code` (0 when cleared); on Cancel the
// code is left as it was. A code of 0 asks for the next key at once.
bool ShortcutDialog(uint16_t& code, QWidget* parent = nullptr);
