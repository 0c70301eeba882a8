#include "dictionary/gui/DictionaryInfoDialog.h"

#include "platform/Ansi.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const QString TDictionaryInfoDlg::LicInfoMsg =
    QStringLiteral("The Dictionary Info has been copied to the clipboard.\nYou can paste it to "
                   "any window by pressing Shift+Ins.");

namespace {
QLabel* ValueLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(300);
    return label;
}
} // namespace

TDictionaryInfoDlg::TDictionaryInfoDlg(const QString& fileName, int entries,
                                       const QByteArray& line1, const QByteArray& line2,
                                       const QByteArray& line3, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DictionaryInfoDlg"));
    setWindowTitle(tr("Dictionary Info"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    DictionaryLbl = ValueLabel(this, "DictionaryLbl", fileName);
    DictionaryLbl->setToolTip(fileName);
    DictionaryLbl->setWordWrap(true);
    CustomEntriesLbl = ValueLabel(this, "CustomEntriesLbl",
                                  QStringLiteral("Dictionary Entries = %1").arg(entries));
    Line1Lbl = ValueLabel(this, "Line1Lbl", Ansi::ToUnicode(Ansi::Trim(line1)));
    Line2Lbl = ValueLabel(this, "Line2Lbl", Ansi::ToUnicode(Ansi::Trim(line2)));
    Line3Lbl = ValueLabel(this, "Line3Lbl", Ansi::ToUnicode(Ansi::Trim(line3)));

    auto* form = new QFormLayout;
    form->addRow(tr("Dictionary:"), DictionaryLbl);
    form->addRow(QString(), CustomEntriesLbl);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    form->addRow(rule);
    form->addRow(tr("Info:"), Line1Lbl);
    form->addRow(QString(), Line2Lbl);
    form->addRow(QString(), Line3Lbl);

    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CopyBtn = new QPushButton(tr("&Copy"), this);
    CopyBtn->setObjectName(QStringLiteral("CopyBtn"));
    CopyBtn->setToolTip(tr("Copies Dictionary Info to the Clipboard"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CopyBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setTabOrder(OKBtn, CopyBtn);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CopyBtn, &QPushButton::clicked, this, &TDictionaryInfoDlg::CopyBtnClick);
    Inform = [this](const QString& caption, const QString& text) {
        TMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, this);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    };
}

QString TDictionaryInfoDlg::ClipboardText() const {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("DICTIONARY INFO FOR: ") + DictionaryLbl->text() + crlf +
           CustomEntriesLbl->text() + crlf + Line1Lbl->text() + crlf + Line2Lbl->text() + crlf +
           Line3Lbl->text() + crlf;
}

void TDictionaryInfoDlg::CopyBtnClick() {
    QApplication::clipboard()->setText(ClipboardText());
    if (Inform) Inform(tr("Dictionary Info"), LicInfoMsg);
}
