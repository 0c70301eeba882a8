#include "tags/gui/RecordDlg.h"

#include "hook/HookProtocol.h"
#include "platform/MessageBox.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
TRecordDlg* active = nullptr;
constexpr int kBlinkMs = 600;
} // namespace

TRecordDlg::TRecordDlg(const TRecorderHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), host_(host) {
    setObjectName(QStringLiteral("RecordDlg"));
    caption_ = tr("Recording Keystrokes");
    setWindowTitle(caption_);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The keys belong to the program the user types in, never to this window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    CountLbl = new QLabel(tr("0 Keys"), this);
    CountLbl->setObjectName(QStringLiteral("CountLbl"));
    CountLbl->setAlignment(Qt::AlignCenter);
    StopBtn = new QPushButton(tr("Stop"), this);
    StopBtn->setObjectName(QStringLiteral("StopBtn"));
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton* b : {StopBtn, CancelBtn}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(StopBtn, &QPushButton::clicked, this, &TRecordDlg::StopBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TRecordDlg::CancelBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StopBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CountLbl);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(220, 0)));

    BlinkTimer = new QTimer(this);
    BlinkTimer->setInterval(kBlinkMs);
    connect(BlinkTimer, &QTimer::timeout, this,
            // A blank, not an empty title: the desktop shows the program's name for none.
            [this] { setWindowTitle(windowTitle() == caption_ ? QStringLiteral(" ") : caption_); });
    AskYes = [this](const QString& m) {
        return TMessageBox::Ask(nullptr, QStringLiteral("Brevix"), m) == QMessageBox::Yes;
    };
    clock_.start();
    active = this;
}

TRecordDlg::~TRecordDlg() {
    if (handle_ && host_.Unwatch) host_.Unwatch(handle_);
    if (handle_) SetGetNextKeyHwnd(0);
    if (active == this) active = nullptr;
}

void TRecordDlg::Register() {
    const auto window = static_cast<BxHwnd>(internalWinId());
    if (window == 0 || window == handle_) return;
    if (handle_ && host_.Unwatch) host_.Unwatch(handle_);
    handle_ = window;
    if (host_.Watch)
        host_.Watch(handle_,
                    [this](uint32_t m, uintptr_t w, intptr_t l) { return WndProc(m, w, l); });
    SetGetNextKeyHwnd(handle_);
}

bool TRecordDlg::event(QEvent* event) {
    const bool done = QDialog::event(event);
    if (event->type() == QEvent::WinIdChange) Register();
    return done;
}

TRecordDlg* TRecordDlg::Active() {
    return active;
}

intptr_t TRecordDlg::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (msg != BX_MSG_RECORD_KEY) return 0;
    const bool release = ((lParam >> 16) & 0xFFFF) == BX_KEYFLAG_UP;
    const uint32_t front = host_.Foreground ? host_.Foreground() : BxForegroundWindow();
    recording_.OnKey(static_cast<uint16_t>(wParam & 0xFFFF), release, clock_.elapsed(), front);
    CountLbl->setText(tr("%1 Keys").arg(recording_.Count()));
    return 0;
}

void TRecordDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Register();
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.right() - frameGeometry().width(), area.top());
    }
    BlinkTimer->start();
    if (host_.ReturnFocus) QTimer::singleShot(0, this, [this] { host_.ReturnFocus(); });
}

void TRecordDlg::StopBtnClick() {
    if (host_.BringToFront) host_.BringToFront();
    text_ = recording_.Text();
    BlinkTimer->stop();
    accept();
}

void TRecordDlg::CancelBtnClick() {
    if (recording_.Count() > 0) {
        // Out of the question's way; hiding would end the recording.
        showMinimized();
        const bool yes = AskYes(tr("Recorded keystrokes will not be saved.\nAre you sure you want "
                                   "to cancel the recording?"));
        if (!yes) {
            showNormal();
            return;
        }
    }
    text_.clear();
    BlinkTimer->stop();
    reject();
}

void TRecordDlg::keyPressEvent(QKeyEvent* event) {
    // Keys pressed here are recorded through the hook too; none closes it.
    event->accept();
}

void TRecordDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    CancelBtnClick();
}

QString RecordKeystrokes(const TRecorderHost& host, QWidget* parent,
                         const std::function<void(TRecordDlg*)>& prepare) {
    if (host.TrayRecording) host.TrayRecording(true);
    QString text;
    {
        TRecordDlg dlg(host, parent);
        if (host.SetFSM) host.SetFSM(BX_FSM_RECORDING);
        bool closed = false;
        QObject::connect(&dlg, &QDialog::finished, &dlg, [&closed] { closed = true; });
        if (prepare) prepare(&dlg);
        if (!closed) dlg.exec();
        text = dlg.Text();
        if (host.SetFSM) host.SetFSM(BX_FSM_SUSPENDED);
        SetGetNextKeyHwnd(0);
    }
    if (host.TrayRecording) host.TrayRecording(false);
    return text;
}
