#include "shell/AppRulesPage.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// In the order of TAppField and TAppAction.
const char* const kFieldNames[] = {"Any name", "Window class", "Window instance", "Process"};
const char* const kActionNames[] = {"No auto-replace", "Type keystrokes", "Paste with key"};
const char* const kFieldPrefixes[] = {"", "class:", "instance:", "process:"};

QComboBox* Combo(const char* const* names, int count, int current, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (int i = 0; i < count; ++i)
        combo->addItem(QObject::tr(names[i]));
    combo->setCurrentIndex(current);
    return combo;
}
} // namespace

TAppRulesPage::TAppRulesPage(const TAppRules& rules, const TAppOptions& options,
                             const QStringList& problems, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("AppRulesPage"));
    auto* rulesLbl = new QLabel(tr("Application &rules (the first that matches applies):"), this);
    RulesGrid = new QTableWidget(0, colCount, this);
    RulesGrid->setHorizontalHeaderLabels(
        {tr("Application"), tr("Compared with"), tr("Action"), tr("Paste key")});
    RulesGrid->horizontalHeader()->setSectionResizeMode(colApplication, QHeaderView::Stretch);
    RulesGrid->horizontalHeader()->setSectionResizeMode(colField, QHeaderView::ResizeToContents);
    RulesGrid->horizontalHeader()->setSectionResizeMode(colAction, QHeaderView::ResizeToContents);
    RulesGrid->verticalHeader()->setVisible(false);
    RulesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RulesGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    RulesGrid->setTabKeyNavigation(false);
    rulesLbl->setBuddy(RulesGrid);

    AddBtn = new QPushButton(tr("&Add"), this);
    RemoveBtn = new QPushButton(tr("Re&move"), this);
    UpBtn = new QPushButton(tr("Move &Up"), this);
    DownBtn = new QPushButton(tr("Move Do&wn"), this);
    DefaultsBtn = new QPushButton(tr("Restore De&faults"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {AddBtn, RemoveBtn, UpBtn, DownBtn, DefaultsBtn})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* grid = new QHBoxLayout;
    grid->addWidget(RulesGrid, 1);
    grid->addLayout(buttons);

    PasswordChk = new QCheckBox(tr("No expansion or suggestions in &password fields"), this);
    RestoreClipboardChk =
        new QCheckBox(tr("Restore the &clipboard after a pasted expansion, up to"), this);
    ClipboardLimitEdit = new QSpinBox(this);
    ClipboardLimitEdit->setRange(TAppOptions::kMinClipboardLimitKB,
                                 TAppOptions::kMaxClipboardLimitKB);
    ClipboardLimitEdit->setSuffix(tr(" KiB"));
    ClipboardLimitEdit->setAccessibleName(tr("Clipboard size limit"));
    auto* clip = new QHBoxLayout;
    clip->addWidget(RestoreClipboardChk);
    clip->addWidget(ClipboardLimitEdit);
    clip->addStretch(1);

    ProblemsLbl = new QLabel(this);
    ProblemsLbl->setWordWrap(true);
    ProblemsLbl->setTextFormat(Qt::PlainText);
    ProblemsLbl->setText(problems.isEmpty()
                             ? QString()
                             : tr("Stored rules that could not be read were left out:\n") +
                                   problems.mid(0, 5).join(QLatin1Char('\n')));
    ProblemsLbl->setVisible(!problems.isEmpty());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rulesLbl);
    layout->addLayout(grid, 1);
    layout->addWidget(ProblemsLbl);
    layout->addWidget(PasswordChk);
    layout->addLayout(clip);

    connect(AddBtn, &QPushButton::clicked, this, &TAppRulesPage::AddRule);
    connect(RemoveBtn, &QPushButton::clicked, this,
            [this] { RemoveRule(RulesGrid->currentRow()); });
    connect(UpBtn, &QPushButton::clicked, this, [this] { MoveRule(RulesGrid->currentRow(), -1); });
    connect(DownBtn, &QPushButton::clicked, this, [this] { MoveRule(RulesGrid->currentRow(), 1); });
    connect(DefaultsBtn, &QPushButton::clicked, this, &TAppRulesPage::RestoreDefaults);
    connect(RestoreClipboardChk, &QCheckBox::toggled, this, &TAppRulesPage::UpdateEnabled);
    connect(RulesGrid, &QTableWidget::currentCellChanged, this, &TAppRulesPage::UpdateEnabled);

    Fill(rules);
    PasswordChk->setChecked(options.SkipPasswordFields);
    RestoreClipboardChk->setChecked(options.RestoreClipboard);
    ClipboardLimitEdit->setValue(options.RestoreClipboardLimitKB);
    UpdateEnabled();
}

// The row's combo boxes are made after the controls below the grid: Tab
// would reach them last.
void TAppRulesPage::FixTabOrder() {
    QWidgetList chain{RulesGrid};
    for (int row = 0; row < RulesGrid->rowCount(); ++row)
        for (int col : {colField, colAction})
            if (QWidget* w = RulesGrid->cellWidget(row, col)) chain << w;
    chain << AddBtn << RemoveBtn << UpBtn << DownBtn << DefaultsBtn << PasswordChk
          << RestoreClipboardChk << ClipboardLimitEdit;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TAppRulesPage::Fill(const TAppRules& rules) {
    RulesGrid->setRowCount(0);
    RulesGrid->setRowCount(static_cast<int>(rules.Rules.size()));
    for (int row = 0; row < RulesGrid->rowCount(); ++row)
        SetRow(row, rules.Rules[static_cast<size_t>(row)]);
    RulesGrid->resizeRowsToContents();
    FixTabOrder();
}

void TAppRulesPage::SetRow(int row, const TAppRule& rule) {
    RulesGrid->setItem(row, colApplication, new QTableWidgetItem(rule.Pattern));
    RulesGrid->setCellWidget(row, colField,
                             Combo(kFieldNames, 4, static_cast<int>(rule.Field), RulesGrid));
    RulesGrid->setCellWidget(row, colAction,
                             Combo(kActionNames, 3, static_cast<int>(rule.Action), RulesGrid));
    RulesGrid->setItem(row, colPasteKey,
                       new QTableWidgetItem(rule.Action == TAppAction::PasteKey
                                                ? Ansi::ToUnicode(KeyCodeToText(rule.PasteKey))
                                                : QString()));
}

TAppRule TAppRulesPage::RowRule(int row, bool& ok, QString& error) const {
    const auto text = [&](int col) {
        const QTableWidgetItem* item = RulesGrid->item(row, col);
        return item ? item->text().trimmed() : QString();
    };
    const auto index = [&](int col) {
        const auto* combo = qobject_cast<const QComboBox*>(RulesGrid->cellWidget(row, col));
        return combo ? combo->currentIndex() : 0;
    };
    // The page speaks the stored form, so that one reader checks both.
    const int field = std::clamp(index(colField), 0, 3);
    QString stored = QLatin1String(kFieldPrefixes[field]) + text(colApplication) + QLatin1Char(',');
    switch (index(colAction)) {
    case 1:
        stored += QStringLiteral("keystrokes");
        break;
    case 2:
        stored += QStringLiteral("paste ") + text(colPasteKey);
        break;
    default:
        stored += QStringLiteral("off");
        break;
    }
    TAppRule rule;
    ok = TAppRules::Parse(stored, rule, error);
    return rule;
}

bool TAppRulesPage::Rules(TAppRules& out, QString& error) const {
    TAppRules rules;
    for (int row = 0; row < RulesGrid->rowCount(); ++row) {
        const QTableWidgetItem* app = RulesGrid->item(row, colApplication);
        if (!app || app->text().trimmed().isEmpty()) continue;
        bool ok = false;
        QString fault;
        const TAppRule rule = RowRule(row, ok, fault);
        if (!ok) {
            RulesGrid->setCurrentCell(row, colApplication);
            error = tr("The application rule in row %1 is not valid: %2.").arg(row + 1).arg(fault);
            return false;
        }
        rules.Rules.push_back(rule);
    }
    if (static_cast<int>(rules.Rules.size()) > TAppRules::kMaxRules) {
        error = tr("There can be at most %1 application rules.").arg(TAppRules::kMaxRules);
        return false;
    }
    out = rules;
    return true;
}

TAppOptions TAppRulesPage::Options() const {
    TAppOptions o;
    o.SkipPasswordFields = PasswordChk->isChecked();
    o.RestoreClipboard = RestoreClipboardChk->isChecked();
    o.RestoreClipboardLimitKB = ClipboardLimitEdit->value();
    return o;
}

void TAppRulesPage::AddRule() {
    const int row = RulesGrid->rowCount();
    RulesGrid->insertRow(row);
    SetRow(row, TAppRule{});
    FixTabOrder();
    RulesGrid->setCurrentCell(row, colApplication);
    RulesGrid->setFocus();
    RulesGrid->editItem(RulesGrid->item(row, colApplication));
}

void TAppRulesPage::RemoveRule(int row) {
    if (row < 0 || row >= RulesGrid->rowCount()) return;
    RulesGrid->removeRow(row);
    UpdateEnabled();
}

void TAppRulesPage::MoveRule(int row, int by) {
    const int to = row + by;
    if (row < 0 || to < 0 || row >= RulesGrid->rowCount() || to >= RulesGrid->rowCount()) return;
    const auto texts = [&](int r) {
        return std::pair{RulesGrid->item(r, colApplication)->text(),
                         RulesGrid->item(r, colPasteKey)->text()};
    };
    const auto indexes = [&](int r) {
        return std::pair{qobject_cast<QComboBox*>(RulesGrid->cellWidget(r, colField)),
                         qobject_cast<QComboBox*>(RulesGrid->cellWidget(r, colAction))};
    };
    // Swapped as the user left them, faults included: OK reports those.
    const auto [appA, keyA] = texts(row);
    const auto [appB, keyB] = texts(to);
    const auto [fieldA, actionA] = indexes(row);
    const auto [fieldB, actionB] = indexes(to);
    const int fa = fieldA->currentIndex(), aa = actionA->currentIndex();
    fieldA->setCurrentIndex(fieldB->currentIndex());
    actionA->setCurrentIndex(actionB->currentIndex());
    fieldB->setCurrentIndex(fa);
    actionB->setCurrentIndex(aa);
    RulesGrid->item(row, colApplication)->setText(appB);
    RulesGrid->item(row, colPasteKey)->setText(keyB);
    RulesGrid->item(to, colApplication)->setText(appA);
    RulesGrid->item(to, colPasteKey)->setText(keyA);
    RulesGrid->setCurrentCell(to, RulesGrid->currentColumn() < 0 ? 0 : RulesGrid->currentColumn());
}

void TAppRulesPage::RestoreDefaults() {
    Fill(TAppRules::Defaults());
    UpdateEnabled();
}

void TAppRulesPage::UpdateEnabled() {
    const int row = RulesGrid->currentRow();
    RemoveBtn->setEnabled(row >= 0);
    UpBtn->setEnabled(row > 0);
    DownBtn->setEnabled(row >= 0 && row + 1 < RulesGrid->rowCount());
    ClipboardLimitEdit->setEnabled(RestoreClipboardChk->isChecked());
}
