// The main window's side of linked dictionaries: the switch in the
// Dictionary menu and above the grid, the merge during a load with its
// questions about links that fail, and the state both controls show.
#include "dictionary/Dict.h"
#include "platform/MessageBox.h"
#include "shell/Mainfrm.h"
#include "shell/PreferencesDialog.h"
#include "shell/ProgressForm.h"

#include <QAction>
#include <QBoxLayout>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace {
const QString kLinkWarning = QStringLiteral(
    "Unable to open link to dictionary file\n%1\n\nDo you want to remove this link?");
} // namespace

void TMainForm::BuildLinkControls() {
    EnableDictLinks1 = new QAction(tr("&Enable Links"), this);
    EnableDictLinks1->setObjectName(QStringLiteral("EnableDictLinks1"));
    EnableDictLinks1->setCheckable(true);
    connect(EnableDictLinks1, &QAction::triggered, this, &TMainForm::EnableDictLinks1Click);
    // Beside Refresh, which also reads the linked files again.
    const QList<QAction*> items = Dictionary1->actions();
    const int refreshAt = static_cast<int>(items.indexOf(Refresh1));
    Dictionary1->insertAction(items.value(refreshAt + 1), EnableDictLinks1);

    DictLinksSpeedButton = new QToolButton(OpenSpeedButton->parentWidget());
    DictLinksSpeedButton->setObjectName(QStringLiteral("DictLinksSpeedButton"));
    DictLinksSpeedButton->setIcon(style()->standardIcon(QStyle::SP_FileLinkIcon));
    DictLinksSpeedButton->setAutoRaise(true);
    DictLinksSpeedButton->setCheckable(true);
    connect(DictLinksSpeedButton, &QToolButton::clicked, this, &TMainForm::EnableDictLinks1Click);
    // The buttons above the grid are a row in the grid panel's column.
    if (auto* column = qobject_cast<QBoxLayout*>(OpenSpeedButton->parentWidget()->layout()))
        for (int i = 0; i < column->count(); ++i)
            if (auto* row = qobject_cast<QBoxLayout*>(column->itemAt(i)->layout());
                row && row->indexOf(PreferencesSpeedButton) >= 0) {
                row->insertWidget(row->indexOf(PreferencesSpeedButton), DictLinksSpeedButton);
                break;
            }

    connect(Dictionary1, &QMenu::aboutToShow, this, &TMainForm::UpdateLinkState);
    connect(DictPopupMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateLinkState);
    connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMainForm::UpdateLinkState);
    if (!AskBox)
        AskBox = [this](int icon, const QString& caption, const QString& text,
                        const QString& details, int buttons, int defaultButton) {
            TMessageBox box(static_cast<QMessageBox::Icon>(icon), caption, text,
                            QMessageBox::StandardButtons(buttons), this);
            box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
            if (!details.isEmpty()) box.setInformativeText(details);
            return box.exec();
        };
    UpdateLinkState();
}

bool TMainForm::LinksInEffect() const {
    return Settings.Has(goEnableDictionaryLinks) && !Settings.LinkedDictionaries.isEmpty();
}

void TMainForm::UpdateLinkState() {
    const bool on = LinksInEffect();
    EnableDictLinks1->setChecked(on);
    DictLinksSpeedButton->setChecked(on);
    DictLinksSpeedButton->setToolTip(on ? tr("Disable Dictionary Links")
                                        : tr("Enable Dictionary Links"));
}

void TMainForm::EnableDictLinks1Click() {
    const auto reopen = [this] {
        if (Session.FileName().isEmpty()) return;
        if (Session.Modified()) Save1Click();
        OpenDictionary(Session.FileName());
    };
    if (Settings.LinkedDictionaries.isEmpty() && !ScriptRunning()) {
        // Nothing to link yet: the user is taken to where links are added.
        Settings.Set(goEnableDictionaryLinks, true);
        if (Preferences1Click(TPreferencesDlg::pgLinks) && LinksInEffect()) reopen();
        UpdateLinkState();
        return;
    }
    Settings.Set(goEnableDictionaryLinks, !Settings.Has(goEnableDictionaryLinks));
    UpdateLinkState();
    reopen();
}

TLinkMerge TMainForm::NewLinkMerge(TProgressForm* progress) {
    TLinkMerge merge;
    merge.Links = Settings.LinkedDictionaries;
    if (progress)
        merge.Announce = [progress](const QString& line) { progress->Label1->setText(line); };
    merge.Failed = [this](const QString& path, const QString& reason) {
        return AskBox(QMessageBox::Warning, QStringLiteral("Brevix Warning"),
                      kLinkWarning.arg(path), reason, QMessageBox::Yes | QMessageBox::Ignore,
                      QMessageBox::Ignore) == QMessageBox::Yes;
    };
    return merge;
}

void TMainForm::LinkMergeDone(const TLinkMerge& merge) {
    if (!merge.Damaged.isEmpty())
        StatusLbl->setText(tr("Linked dictionary damaged, entries read up to the damage: %1")
                               .arg(merge.Damaged.join(QStringLiteral("; "))));
    if (merge.Removed.isEmpty()) return;
    Settings.LinkedDictionaries = merge.Links;
    UpdateLinkState();
    SaveSettings();
}
