#include "shell/ShortcutDialog.h"

#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "shell/NextKeyDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr uint16_t kKeyMask = 0x1FFF;
constexpr int kKeyHeight = 52;
constexpr int kSmallKeyWidth = 52;
constexpr int kWideKeyWidth = 128;
} // namespace

TKeyPicture::TKeyPicture(bool wide, QWidget* parent) : QWidget(parent), wide_(wide) {
    setObjectName(wide ? QStringLiteral("WideKeyImg") : QStringLiteral("SmallKeyImg"));
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
}

QSize TKeyPicture::sizeHint() const {
    return {wide_ ? kWideKeyWidth : kSmallKeyWidth, kKeyHeight};
}

void TKeyPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    // The skirt of the cap, darker towards the bottom.
    QLinearGradient skirt(outer.topLeft(), outer.bottomLeft());
    skirt.setColorAt(0, QColor(0xC8, 0xCB, 0xD0));
    skirt.setColorAt(1, QColor(0x8E, 0x93, 0x9B));
    p.setPen(QPen(QColor(0x5E, 0x63, 0x6B), 1.2));
    p.setBrush(skirt);
    p.drawRoundedRect(outer, 7, 7);
    // The top face, inset more at the bottom so the cap looks raised.
    const QRectF face = outer.adjusted(5, 3, -5, -9);
    QLinearGradient top(face.topLeft(), face.bottomLeft());
    top.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    top.setColorAt(1, QColor(0xE4, 0xE7, 0xEB));
    p.setPen(QPen(QColor(0xA4, 0xA9, 0xB1), 1));
    p.setBrush(top);
    p.drawRoundedRect(face, 5, 5);
}

TShortcutDlg::TShortcutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ShortcutDlg"));
    setWindowTitle(QStringLiteral("Select Shortcut Key"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    KeyGroup = new QGroupBox(QStringLiteral("Key"), this);
    auto* keyGrid = new QGridLayout(KeyGroup);
    keyGrid->setContentsMargins(12, 10, 12, 12);
    SmallKeyImg = new TKeyPicture(false, KeyGroup);
    WideKeyImg = new TKeyPicture(true, KeyGroup);
    KeyLbl = new QLabel(KeyGroup);
    KeyLbl->setObjectName(QStringLiteral("KeyLbl"));
    KeyLbl->setAlignment(Qt::AlignCenter);
    KeyLbl->setCursor(Qt::PointingHandCursor);
    QFont keyFont = KeyLbl->font();
    keyFont.setBold(true);
    keyFont.setPointSizeF(keyFont.pointSizeF() * 1.1);
    KeyLbl->setFont(keyFont);
    // Picture and name share one cell; the name sits on the key's top face.
    keyGrid->addWidget(SmallKeyImg, 0, 0, Qt::AlignCenter);
    keyGrid->addWidget(WideKeyImg, 0, 0, Qt::AlignCenter);
    keyGrid->addWidget(KeyLbl, 0, 0, Qt::AlignCenter);
    KeyLbl->setContentsMargins(0, 0, 0, 6);
    KeyGroup->setMinimumSize(kWideKeyWidth + 48, kKeyHeight + 36);
    for (QWidget* w : {static_cast<QWidget*>(SmallKeyImg), static_cast<QWidget*>(WideKeyImg),
                       static_cast<QWidget*>(KeyLbl)})
        w->installEventFilter(this);

    auto* modGroup = new QGroupBox(QStringLiteral("Modifiers"), this);
    auto* modRow = new QHBoxLayout(modGroup);
    CtrlChk = new QCheckBox(QStringLiteral("Ctrl"), modGroup);
    AltChk = new QCheckBox(QStringLiteral("Alt"), modGroup);
    ShiftChk = new QCheckBox(QStringLiteral("Shift"), modGroup);
    CtrlChk->setObjectName(QStringLiteral("CtrlChk"));
    AltChk->setObjectName(QStringLiteral("AltChk"));
    ShiftChk->setObjectName(QStringLiteral("ShiftChk"));
    modRow->addWidget(CtrlChk);
    modRow->addWidget(AltChk);
    modRow->addWidget(ShiftChk);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    NextKeyBtn = new QPushButton(QStringLiteral("Next Key Typed"), this);
    ClearBtn = new QPushButton(QStringLiteral("Clear"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    NextKeyBtn->setObjectName(QStringLiteral("NextKeyBtn"));
    ClearBtn->setObjectName(QStringLiteral("ClearBtn"));
    OKBtn->setDefault(true);
    for (QPushButton* b : {OKBtn, CancelBtn, NextKeyBtn, ClearBtn})
        b->setMinimumWidth(112);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(NextKeyBtn, &QPushButton::clicked, this, &TShortcutDlg::NextKeyBtnClick);
    connect(ClearBtn, &QPushButton::clicked, this, &TShortcutDlg::ClearBtnClick);

    auto* left = new QVBoxLayout;
    left->addWidget(KeyGroup, 1);
    left->addWidget(modGroup);
    auto* right = new QVBoxLayout;
    for (QPushButton* b : {OKBtn, CancelBtn})
        right->addWidget(b);
    right->addStretch();
    for (QPushButton* b : {NextKeyBtn, ClearBtn})
        right->addWidget(b);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    setFixedSize(sizeHint());

    ShowCode(0);
}

void TShortcutDlg::ShowCode(uint16_t code) {
    shown_ = code;
    const uint16_t key = code & kKeyMask;
    QString name = key ? Ansi::ToUnicode(KeyCodeToText(key)) : QStringLiteral("None");
    if (name.isEmpty()) name = QStringLiteral("0x%1").arg(key, 2, 16, QLatin1Char('0'));
    KeyLbl->setText(name);
    KeyLbl->setStyleSheet(key ? QStringLiteral("color: black;") : QStringLiteral("color: gray;"));
    KeyLbl->setToolTip(QStringLiteral("Virtual Keycode = 0x%1").arg(key, 2, 16, QLatin1Char('0')));
    const bool small = name.size() == 1;
    SmallKeyImg->setVisible(small);
    WideKeyImg->setVisible(!small);
    CtrlChk->setChecked(code & shortcut::Ctrl);
    AltChk->setChecked(code & shortcut::Alt);
    ShiftChk->setChecked(code & shortcut::Shift);
}

uint16_t TShortcutDlg::Result() const {
    if (shown_ == 0) return 0;
    return MakeKeyCode(shown_ & kKeyMask, ShiftChk->isChecked(), CtrlChk->isChecked(),
                       AltChk->isChecked());
}

void TShortcutDlg::NextKeyBtnClick() {
    if (const uint16_t code = NextKeyDialog(this)) ShowCode(code);
    OKBtn->setFocus();
}

void TShortcutDlg::ClearBtnClick() {
    ShowCode(0);
    OKBtn->setFocus();
}

bool TShortcutDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        NextKeyBtnClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool ShortcutDialog(uint16_t& code, QWidget* parent) {
    TShortcutDlg dlg(parent);
    dlg.ShowCode(code);
    if (code == 0)
        if (const uint16_t next = NextKeyDialog(parent)) dlg.ShowCode(next);
    if (dlg.exec() != QDialog::Accepted) return false;
    code = dlg.Result();
    return true;
}
