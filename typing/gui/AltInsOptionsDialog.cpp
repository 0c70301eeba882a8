#include "typing/gui/AltInsOptionsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kMaxLength = 120;
}

TAltInsOptionsDlg::TAltInsOptionsDlg(const QString& prefix, const QString& suffix, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("AltInsOptionsDlg"));
    setWindowTitle(tr("Alt+Ins Options"));
    PrefixEdit = new QLineEdit(prefix.left(kMaxLength), this);
    SuffixEdit = new QLineEdit(suffix.left(kMaxLength), this);
    PrefixEdit->setObjectName(QStringLiteral("PrefixEdit"));
    SuffixEdit->setObjectName(QStringLiteral("SuffixEdit"));
    for (QLineEdit* e : {PrefixEdit, SuffixEdit})
        e->setMaxLength(kMaxLength);
    PrefixEdit->setToolTip(tr("String you want added at the beginning of the keyword"));
    SuffixEdit->setToolTip(tr("String you want added at the end of the keyword"));
    auto* form = new QFormLayout;
    form->addRow(tr("Keyword &Prefix:"), PrefixEdit);
    form->addRow(tr("Keyword &Suffix:"), SuffixEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(360, sizeHint().height());
}

QString TAltInsOptionsDlg::Prefix() const {
    return PrefixEdit->text();
}

QString TAltInsOptionsDlg::Suffix() const {
    return SuffixEdit->text();
}
