#include "typing/gui/SpeedTestDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

TSpeedTestDlg::TSpeedTestDlg(int speed, QWidget* parent) : QDialog(parent), speed_(speed) {
    setObjectName(QStringLiteral("SpeedTestDlg"));
    setWindowTitle(tr("Find Your Typing Speed"));
    PageControl1 = new QStackedWidget(this);

    auto* page1 = new QWidget(PageControl1);
    InstructionsLbl =
        new QLabel(tr("Type some text in the box below at your normal speed, as you would write a "
                      "letter.\nThe test starts with your first key and lasts %1 seconds.")
                       .arg(TestSeconds),
                   page1);
    InstructionsLbl->setWordWrap(true);
    Memo1 = new QPlainTextEdit(page1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->installEventFilter(this);
    CounterPnl = new QLabel(page1);
    CounterPnl->setObjectName(QStringLiteral("CounterPnl"));
    CounterPnl->setAlignment(Qt::AlignCenter);
    CounterPnl->setFrameShape(QFrame::StyledPanel);
    QFont big = CounterPnl->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    CounterPnl->setFont(big);
    CounterPnl->setMinimumWidth(56);
    CounterPnl->hide();
    auto* row = new QHBoxLayout;
    row->addWidget(InstructionsLbl, 1);
    row->addWidget(CounterPnl);
    auto* page1Layout = new QVBoxLayout(page1);
    page1Layout->setContentsMargins(0, 0, 0, 0);
    page1Layout->addLayout(row);
    page1Layout->addWidget(Memo1, 1);

    auto* page2 = new QWidget(PageControl1);
    ResultLbl = new QLabel(page2);
    ResultLbl->setObjectName(QStringLiteral("ResultLbl"));
    ResultLbl->setAlignment(Qt::AlignCenter);
    ResultLbl->setWordWrap(true);
    QFont result = ResultLbl->font();
    result.setPointSize(result.pointSize() + 3);
    ResultLbl->setFont(result);
    auto* page2Layout = new QVBoxLayout(page2);
    page2Layout->addWidget(ResultLbl);
    PageControl1->addWidget(page1);
    PageControl1->addWidget(page2);

    CloseBtn = new QPushButton(tr("&Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setAutoDefault(false);
    connect(CloseBtn, &QPushButton::clicked, this, &TSpeedTestDlg::CloseBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TSpeedTestDlg::Timer1Timer);
    resize(460, 260);
    Memo1->setFocus();
}

bool TSpeedTestDlg::Running() const {
    return Timer1->isActive();
}

bool TSpeedTestDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress && !Running() &&
        PageControl1->currentIndex() == 0)
        StartTest(); // the key itself is the first one counted
    return QDialog::eventFilter(watched, event);
}

void TSpeedTestDlg::StartTest() {
    Memo1->clear();
    count_ = TestSeconds;
    CounterPnl->setText(QString::number(count_));
    CounterPnl->show();
    CloseBtn->setText(tr("&Cancel"));
    Timer1->start();
}

void TSpeedTestDlg::StopTest() {
    Timer1->stop();
    CounterPnl->hide();
    CloseBtn->setText(tr("&Close"));
}

void TSpeedTestDlg::Timer1Timer() {
    if (count_ <= 0) return;
    --count_;
    CounterPnl->setText(QString::number(count_));
    if (count_ > 0) return;
    QApplication::beep();
    StopTest();
    speed_ = static_cast<int>(Memo1->toPlainText().size()) * (60 / TestSeconds);
    PageControl1->setCurrentIndex(1);
    ResultLbl->setText(tr("Your typing speed is about %1 characters per minute").arg(speed_));
}

void TSpeedTestDlg::CloseBtnClick() {
    if (!Running()) {
        accept();
        return;
    }
    StopTest();
    count_ = 0;
    Memo1->clear();
    Memo1->setFocus();
}
