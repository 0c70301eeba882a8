#include "shell/ErrorReportWindow.h"

#include "platform/MessageBox.h"
#include "shell/ErrorLog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("Brevix");
QPointer<TErrorReportDlg> gReport;
class TErrorNotifier;
TErrorNotifier* notifier = nullptr;

// Carries the log's news, from whatever thread, to the windows.
class TErrorNotifier : public QObject {
public:
    void Recorded(TErrorKind kind, const QString& message) {
        if (gReport) gReport->Refresh();
        if (kind == TErrorKind::Critical && !offered_) {
            offered_ = true;
            TErrorReportDlg::OfferReport(QApplication::activeWindow(), message);
        }
    }

private:
    bool offered_ = false;
};
} // namespace

TErrorReportDlg::TErrorReportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ErrorReportDlg"));
    setWindowTitle(QStringLiteral("Error Report"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* intro = new QLabel(
        QStringLiteral("Unexpected errors of this session. Typed keys and the texts of entries "
                       "are never recorded here; copy the report into a support request."),
        this);
    intro->setWordWrap(true);
    auto* listLbl = new QLabel(QStringLiteral("&Errors:"), this);
    ErrorList = new QListWidget(this);
    ErrorList->setObjectName(QStringLiteral("ErrorList"));
    listLbl->setBuddy(ErrorList);
    auto* detailLbl = new QLabel(QStringLiteral("&Details:"), this);
    DetailMemo = new QPlainTextEdit(this);
    DetailMemo->setObjectName(QStringLiteral("DetailMemo"));
    DetailMemo->setReadOnly(true);
    DetailMemo->setTabChangesFocus(true);
    detailLbl->setBuddy(DetailMemo);

    CopyBtn = new QPushButton(QStringLiteral("&Copy Report"), this);
    CopyBtn->setObjectName(QStringLiteral("CopyBtn"));
    CopyBtn->setToolTip(QStringLiteral("Copy the whole report to the clipboard"));
    ClearBtn = new QPushButton(QStringLiteral("C&lear"), this);
    ClearBtn->setObjectName(QStringLiteral("ClearBtn"));
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(listLbl);
    layout->addWidget(ErrorList, 1);
    layout->addWidget(detailLbl);
    layout->addWidget(DetailMemo, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CopyBtn);
    buttons->addWidget(ClearBtn);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    layout->addLayout(buttons);
    resize(620, 440);

    connect(ErrorList, &QListWidget::currentRowChanged, this,
            &TErrorReportDlg::ErrorListCurrentRowChanged);
    connect(CopyBtn, &QPushButton::clicked, this, &TErrorReportDlg::CopyBtnClick);
    connect(ClearBtn, &QPushButton::clicked, this, &TErrorReportDlg::ClearBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    Refresh();
}

void TErrorReportDlg::Refresh() {
    const QList<TErrorRecord> records = TErrorLog::Instance().Records();
    const int row = ErrorList->currentRow();
    const bool atEnd = row < 0 || row == ErrorList->count() - 1;
    ErrorList->clear();
    for (const TErrorRecord& record : records)
        ErrorList->addItem(TErrorLog::Summary(record));
    if (records.isEmpty()) {
        DetailMemo->setPlainText(ErrorReportHeader() +
                                 QStringLiteral("\nNo unexpected errors so far."));
    } else {
        // The newest error is shown unless the user is reading another one.
        ErrorList->setCurrentRow(atEnd ? int(records.size()) - 1
                                       : std::min(row, int(records.size()) - 1));
    }
    ClearBtn->setEnabled(!records.isEmpty());
}

void TErrorReportDlg::ErrorListCurrentRowChanged(int row) {
    const QList<TErrorRecord> records = TErrorLog::Instance().Records();
    if (row >= 0 && row < records.size())
        DetailMemo->setPlainText(TErrorLog::Details(records[row]));
}

void TErrorReportDlg::CopyBtnClick() {
    QApplication::clipboard()->setText(TErrorLog::Instance().Report());
}

void TErrorReportDlg::ClearBtnClick() {
    TErrorLog::Instance().Clear();
    Refresh();
}

TErrorReportDlg* TErrorReportDlg::ShowReport(QWidget* parent) {
    if (!gReport) gReport = new TErrorReportDlg(parent);
    gReport->show();
    gReport->raise();
    gReport->activateWindow();
    return gReport;
}

void TErrorReportDlg::OfferReport(QWidget* parent, const QString& message) {
    TMessageBox box(QMessageBox::Critical, kCaption,
                    QStringLiteral("An unexpected error occurred:\n%1\n\nThe error report holds "
                                   "the details for a support request.")
                        .arg(message),
                    QMessageBox::Ok, parent);
    QPushButton* report =
        box.addButton(QStringLiteral("Error &Report..."), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == report) ShowReport(parent);
}

QString TErrorReportDlg::FocusContext() {
    const auto name = [](const QWidget* w) {
        return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                         : w->objectName();
    };
    QStringList parts;
    if (const QWidget* window = QApplication::activeWindow())
        parts << QStringLiteral("window ") + name(window);
    if (const QWidget* focus = QApplication::focusWidget())
        parts << QStringLiteral("focus ") + name(focus);
    return parts.join(QStringLiteral(", "));
}

void TErrorReportDlg::Install() {
    if (notifier) return;
    notifier = new TErrorNotifier;
    notifier->setParent(qApp);
    // Messages Qt gives while it ends come after the notifier is gone.
    QObject::connect(qApp, &QObject::destroyed, [] {
        TErrorLog::Instance().SetListener({});
        notifier = nullptr;
    });
    TErrorLog::Instance().SetListener([](const TErrorRecord& record) {
        QMetaObject::invokeMethod(
            notifier,
            [kind = record.Kind, message = record.Message] { notifier->Recorded(kind, message); },
            Qt::QueuedConnection);
    });
    TErrorLog::CaptureQtMessages();
}
