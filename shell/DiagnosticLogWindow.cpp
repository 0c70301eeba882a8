#include "shell/DiagnosticLogWindow.h"

#include "shell/DiagnosticLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDiagnosticLogDlg::TDiagnosticLogDlg(TDiagnosticLog& log, std::function<void(bool)> enabledChanged,
                                     QWidget* parent)
    : QDialog(parent), log_(log), enabledChanged_(std::move(enabledChanged)) {
    setObjectName(QStringLiteral("DiagnosticLogDlg"));
    setWindowTitle(QStringLiteral("Diagnostic Log"));

    EnabledCheck =
        new QCheckBox(QStringLiteral("&Record the messages of scripts (bx_debug msg)"), this);
    EnabledCheck->setObjectName(QStringLiteral("EnabledCheck"));
    EnabledCheck->setChecked(log_.Enabled());
    LogMemo = new QPlainTextEdit(this);
    LogMemo->setObjectName(QStringLiteral("LogMemo"));
    LogMemo->setReadOnly(true);
    LogMemo->setTabChangesFocus(true);
    LogMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    LogMemo->setMaximumBlockCount(int(TDiagnosticLog::MaxLines));
    LogMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    LogMemo->setPlainText(log_.Text());
    StatusLbl = new QLabel(this);

    CopyBtn = new QPushButton(QStringLiteral("&Copy"), this);
    CopyBtn->setObjectName(QStringLiteral("CopyBtn"));
    ClearBtn = new QPushButton(QStringLiteral("C&lear"), this);
    ClearBtn->setObjectName(QStringLiteral("ClearBtn"));
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EnabledCheck);
    layout->addWidget(LogMemo, 1);
    layout->addWidget(StatusLbl);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CopyBtn);
    buttons->addWidget(ClearBtn);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    layout->addLayout(buttons);
    resize(600, 400);

    connect(EnabledCheck, &QCheckBox::toggled, this, &TDiagnosticLogDlg::EnabledCheckToggled);
    connect(CopyBtn, &QPushButton::clicked, this, &TDiagnosticLogDlg::CopyBtnClick);
    connect(ClearBtn, &QPushButton::clicked, this, &TDiagnosticLogDlg::ClearBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    log_.Changed = [this](const std::optional<QString>& line) {
        if (line)
            LogMemo->appendPlainText(*line);
        else
            LogMemo->clear();
        UpdateStatus();
    };
    UpdateStatus();
}

TDiagnosticLogDlg::~TDiagnosticLogDlg() {
    log_.Changed = nullptr;
}

void TDiagnosticLogDlg::UpdateStatus() {
    QString status = log_.Enabled() ? QStringLiteral("%1 line(s).").arg(log_.Lines().size())
                                    : QStringLiteral("Off: messages of scripts are not recorded.");
    if (log_.Dropped() > 0)
        status +=
            QStringLiteral(" The oldest %1 line(s) made room for newer ones.").arg(log_.Dropped());
    StatusLbl->setText(status);
    CopyBtn->setEnabled(!log_.Lines().isEmpty());
    ClearBtn->setEnabled(!log_.Lines().isEmpty());
}

void TDiagnosticLogDlg::EnabledCheckToggled(bool on) {
    log_.SetEnabled(on);
    if (enabledChanged_) enabledChanged_(on);
    UpdateStatus();
}

void TDiagnosticLogDlg::CopyBtnClick() {
    QApplication::clipboard()->setText(log_.Text());
}

void TDiagnosticLogDlg::ClearBtnClick() {
    log_.Clear();
}
