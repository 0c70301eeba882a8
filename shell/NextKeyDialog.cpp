#include "shell/NextKeyDialog.h"

#include "platform/VirtualKeys.h"
#include "typing/HookClient.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TNextKeyDlg::TNextKeyDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NextKeyDlg"));
    setWindowTitle(QStringLiteral("Next Key Typed"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(QStringLiteral("The next key typed will be the"), this);
    Label2 = new QLabel(QStringLiteral("key assigned to the shortcut"), this);
    for (QLabel* l : {Label1, Label2})
        l->setAlignment(Qt::AlignCenter);
    // Every key is a candidate answer, so no key may press the button.
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setFocusPolicy(Qt::NoFocus);
    CancelBtn->setAutoDefault(false);
    CancelBtn->setMinimumWidth(88);
    connect(CancelBtn, &QPushButton::clicked, this, &TNextKeyDlg::CancelBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(4);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addSpacing(14);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));

    handle_ = static_cast<BxHwnd>(winId());
    THooks::Instance().RegisterWindow(
        handle_, [this](uint32_t m, uintptr_t w, intptr_t l) { return WndProc(m, w, l); });
}

TNextKeyDlg::~TNextKeyDlg() {
    THooks::Instance().UnregisterWindow(handle_);
}

intptr_t TNextKeyDlg::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (msg != BX_MSG_NEXT_KEY || done_) return 0;
    // A release arms the dialog, so the key that opened it is never the answer.
    if (lParam == 0) {
        armed_ = true;
        return 0;
    }
    if (!armed_) return 0;
    code_ = static_cast<uint16_t>(wParam & 0xFFFF);
    // NumLock, with or without modifiers, changes what the keypad types; it
    // is kept but waits for a real key.
    if (shortcut::Key(code_) == vk::NumLock) return 0;
    done_ = true;
    THooks::Instance().SetFSM(BX_FSM_SUSPENDED);
    accept();
    return 0;
}

void TNextKeyDlg::CancelBtnClick() {
    code_ = 0;
    done_ = true;
    reject();
}

void TNextKeyDlg::keyPressEvent(QKeyEvent* event) {
    event->accept(); // keys are answers, never Escape or Enter for the dialog
}

void TNextKeyDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Other windows react to losing the activation by changing the state;
    // their events come after ours, so the capture state is set again after them.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !done_)
        QTimer::singleShot(0, this, [this] {
            if (!done_) THooks::Instance().SetFSM(BX_FSM_NEXTKEY);
        });
}

uint16_t NextKeyDialog(QWidget* parent) {
    TNextKeyDlg dlg(parent);
    SetGetNextKeyHwnd(dlg.Handle());
    THooks::Instance().SetFSM(BX_FSM_NEXTKEY);
    const int result = dlg.exec();
    THooks::Instance().SetFSM(BX_FSM_SUSPENDED);
    SetGetNextKeyHwnd(0);
    return result == QDialog::Accepted ? dlg.Code() : 0;
}
