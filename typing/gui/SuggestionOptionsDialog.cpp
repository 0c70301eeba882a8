#include "typing/gui/SuggestionOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr uint8_t kShift = 1, kAlt = 2, kCtrl = 4;
}

TSuggestionOptionsDlg::TSuggestionOptionsDlg(uint8_t shiftState, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SuggestionOptionsDlg"));
    setWindowTitle(tr("Suggestion Window Options"));
    auto* group = new QGroupBox(tr("Suggestion Shortcut"), this);
    auto* text = new QLabel(tr("The Suggestion Selection Shortcuts are F1 to F9"), group);
    CtrlChk = new QCheckBox(tr("&Ctrl"), group);
    AltChk = new QCheckBox(tr("&Alt"), group);
    ShiftChk = new QCheckBox(tr("&Shift"), group);
    CtrlChk->setObjectName(QStringLiteral("CtrlChk"));
    AltChk->setObjectName(QStringLiteral("AltChk"));
    ShiftChk->setObjectName(QStringLiteral("ShiftChk"));
    CtrlChk->setChecked(shiftState & kCtrl);
    AltChk->setChecked(shiftState & kAlt);
    ShiftChk->setChecked(shiftState & kShift);
    ExampleLbl = new QLabel(group);
    ExampleLbl->setEnabled(false);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(CtrlChk);
    boxes->addWidget(AltChk);
    boxes->addWidget(ShiftChk);
    boxes->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(text);
    groupLayout->addLayout(boxes);
    groupLayout->addWidget(ExampleLbl);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QCheckBox* box : {CtrlChk, AltChk, ShiftChk})
        connect(box, &QCheckBox::toggled, this, &TSuggestionOptionsDlg::UpdateExample);
    UpdateExample();
}

uint8_t TSuggestionOptionsDlg::ShiftState() const {
    return (CtrlChk->isChecked() ? kCtrl : 0) | (AltChk->isChecked() ? kAlt : 0) |
           (ShiftChk->isChecked() ? kShift : 0);
}

void TSuggestionOptionsDlg::UpdateExample() {
    QString keys;
    if (ShiftChk->isChecked()) keys += QStringLiteral("Shift+");
    if (CtrlChk->isChecked()) keys += QStringLiteral("Ctrl+");
    if (AltChk->isChecked()) keys += QStringLiteral("Alt+");
    ExampleLbl->setText(tr("The first suggestion is chosen with %1F1.").arg(keys));
}
