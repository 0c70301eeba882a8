#include "shell/SystemConfigDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace SystemReport {
QString Format(const TSystemFacts& f) {
    QString s;
    const auto line = [&](const QString& name, const QString& value) {
        s += name + QStringLiteral(": ") + (value.isEmpty() ? QStringLiteral("-") : value) +
             QLatin1Char('\n');
    };
    line(QStringLiteral("Brevix"), f.ProgramVersion);
    line(QStringLiteral("Qt"), f.QtVersion);
    line(QStringLiteral("Tcl"),
         f.TclVersion.isEmpty() ? QStringLiteral("not loaded (scripts off)") : f.TclVersion);
    line(QStringLiteral("Hook backend"),
         f.HookBackend.isEmpty() ? QStringLiteral("none (keys are not watched)") : f.HookBackend);
    line(QStringLiteral("Password fields (accessibility bus)"),
         f.Accessibility == QLatin1String("running")
             ? QStringLiteral("found")
             : QStringLiteral("not found: %1; auto-replace works as before there")
                   .arg(f.Accessibility.isEmpty() ? QStringLiteral("not asked") : f.Accessibility));
    s += f.DisplayReport;
    if (!s.endsWith(QLatin1Char('\n'))) s += QLatin1Char('\n');
    line(QStringLiteral("Configuration folder"), f.ConfigDir);
    line(QStringLiteral("Open dictionary"), f.Dictionary.isEmpty()
                                                ? QStringLiteral("none")
                                                : QStringLiteral("%1 (%2 entries, %3 bytes)")
                                                      .arg(f.Dictionary)
                                                      .arg(f.Entries)
                                                      .arg(f.DictionaryBytes));
    return s;
}
} // namespace SystemReport

TSystemConfigDlg::TSystemConfigDlg(const QString& report, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SystemConfigDlg"));
    setWindowTitle(tr("System Configuration"));
    ReportMemo = new QPlainTextEdit(report, this);
    ReportMemo->setReadOnly(true);
    ReportMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CopyBtn = new QPushButton(tr("&Copy to Clipboard"), this);
    connect(CopyBtn, &QPushButton::clicked, this, &TSystemConfigDlg::CopyBtnClick);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(CopyBtn, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ReportMemo, 1);
    layout->addWidget(buttons);
    resize(620, 380);
}

void TSystemConfigDlg::CopyBtnClick() {
    QApplication::clipboard()->setText(ReportMemo->toPlainText());
}
