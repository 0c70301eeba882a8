// The entry commands of the main window: the Dictionary menu's and the grid's
// add, modify, remove, copy, paste and duplicate, the buttons above the grid,
// and quick add from other programs. The work is TEntryOperations'.
#include "shell/MainfrmEntries.h"
#include "dictionary/Dict.h"
#include "dictionary/EntryClipboardGui.h"
#include "hook/HookProtocol.h"
#include "platform/Ansi.h"
#include "platform/MessageBox.h"
#include "script/TclInterface.h"
#include "script/gui/InputTclDialog.h"
#include "shell/HelpWindow.h"
#include "shell/Mainfrm.h"
#include "shell/NextKeyDialog.h"
#include "shell/ShortcutDialog.h"
#include "tags/EditorText.h"
#include "tags/TextEditorChoice.h"
#include "tags/gui/DictionaryEditDlg.h"
#include "tags/gui/SpellCheckDialog.h"
#include "typing/HookClient.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace {
class TMainEntryHost final : public TEntryHost {
public:
    explicit TMainEntryHost(TMainForm& form) : form_(form) {}

    bool EditEntry(TDictionaryItem& item, int options, const QString& captionWord) override {
        return form_.EditEntry(item, options, captionWord);
    }
    void HideMainWindow() override {
        form_.SetSuggestionWanted(false);
        if (!form_.isMinimized()) form_.hide();
    }
    void ShowMainWindow() override {
        if (!form_.isMinimized()) form_.PostMessage(wm::HideShow, 1);
        QCoreApplication::processEvents();
        form_.SetSuggestionWanted(true);
    }
    void ShowError(const QString& message) override { form_.ShowError(message); }
    bool Confirm(const QString& message) override { return form_.AskYesNo(message); }
    void PutEntries(const QByteArray& block) override { EntryClipboardGui::Put(block); }
    std::optional<QByteArray> Entries() const override { return EntryClipboardGui::Get(); }
    uint16_t HotKey() const override { return form_.Settings.ProgramHotKey; }
    bool InTab() const override { return form_.TabSet1->count() > 0; }
    QString LinkedSource(uint8_t linked) const override {
        return linked == 0 ? QString() : form_.Session.LinkedFiles().value(linked - 1);
    }

private:
    TMainForm& form_;
};

// The Delete key in the grid cuts, as the Remove command does.
class TGridDeleteKey : public QObject {
public:
    TGridDeleteKey(TMainForm& form) : QObject(&form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            form_.UpdateEntryCommands();
            if (form_.Remove1->isEnabled()) form_.Remove1Click();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm& form_;
};

} // namespace

TMainEntries::TMainEntries(TMainForm& form)
    : Host(std::make_unique<TMainEntryHost>(form)), Operations(form.Session, *Host) {
    EditorServices.ShortcutDialog = [](uint16_t& code, QWidget* parent) {
        return ShortcutDialog(code, parent);
    };
    EditorServices.NextKey = [](QWidget* parent) { return NextKeyDialog(parent); };
    EditorServices.Record = [this](QWidget* parent) {
        return RecordKeystrokes(RecorderHost, parent);
    };
    EditorServices.OpenInEditor = [](const QString& file, const QString& folder) {
        return TextEditorChoice::Open(file, folder, TextEditorChoice::SystemDesktop());
    };
    EditorServices.SpellCheck = [](QWidget* parent, QString& text) {
        return SpellCheckText(parent, text);
    };
    EditorServices.ShowHelp = [] { THelpWindow::ShowPage(QStringLiteral("tags.html")); };
    EditorServices.TclTag = [&form](QWidget* parent) -> std::optional<QString> {
        TInputTclTagDlg dlg(form.Tcl.get(), form.IniPath(), parent);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return EditorText::InputTclTag(
            dlg.Script().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    };

    RecorderHost.Watch = [](BxHwnd window, TRecorderHost::THandler handler) {
        THooks::Instance().RegisterWindow(window, std::move(handler));
    };
    RecorderHost.Unwatch = [](BxHwnd window) { THooks::Instance().UnregisterWindow(window); };
    RecorderHost.SetFSM = [&form](int state) { form.SetFSM(state); };
    RecorderHost.ReturnFocus = [&form] { form.PostMessage(wm::ReturnFocus); };
    RecordingMenu = new QMenu(&form);
    RecordingMenu->addAction(QObject::tr("Stop Recording"), &form, [] {
        if (TRecordDlg* r = TRecordDlg::Active()) r->StopBtnClick();
    });
    RecordingMenu->addAction(QObject::tr("Cancel Recording"), &form, [] {
        if (TRecordDlg* r = TRecordDlg::Active()) r->CancelBtnClick();
    });
    RecorderHost.TrayRecording = [this, &form](bool on) {
        if (form.Tray1) form.Tray1->setContextMenu(on ? RecordingMenu : form.TrayPopupMenu);
    };
}

TMainEntries::~TMainEntries() = default;

void TMainForm::BuildEntryCommands() {
    Entries = std::make_unique<TMainEntries>(*this);
    if (!AskYesNo)
        AskYesNo = [this](const QString& message) {
            TMessageBox box(QMessageBox::Question, QStringLiteral("Brevix"), message,
                            QMessageBox::Yes | QMessageBox::No, this);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes;
        };
    // Several rows may be cut or copied at once.
    Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);

    Add1 = new QAction(tr("&Add..."), this);
    Add1->setShortcut(Qt::Key_Insert);
    Modify1 = new QAction(tr("&Modify..."), this);
    Modify1->setShortcut(Qt::Key_F2);
    Remove1 = new QAction(tr("&Remove (Cut)"), this);
    Copy1 = new QAction(tr("&Copy"), this);
    Paste1 = new QAction(tr("&Paste"), this);
    Duplicate1 = new QAction(tr("&Duplicate"), this);
    Duplicate1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Insert));
    ShowShortcuts1 = new QAction(tr("&Show Shortcuts"), this);
    ShowShortcuts1->setCheckable(true);
    const std::pair<QAction*, const char*> names[] = {{Add1, "Add1"},
                                                      {Modify1, "Modify1"},
                                                      {Remove1, "Remove1"},
                                                      {Copy1, "EntryCopy1"},
                                                      {Paste1, "EntryPaste1"},
                                                      {Duplicate1, "Duplicate1"},
                                                      {ShowShortcuts1, "ShowShortcuts1"}};
    for (const auto& [action, name] : names)
        action->setObjectName(QLatin1String(name));
    connect(Add1, &QAction::triggered, this, &TMainForm::Add1Click);
    connect(Modify1, &QAction::triggered, this, &TMainForm::Modify1Click);
    connect(Remove1, &QAction::triggered, this, &TMainForm::Remove1Click);
    connect(Copy1, &QAction::triggered, this, &TMainForm::Copy1Click);
    connect(Paste1, &QAction::triggered, this, [this] { Paste1Click(); });
    connect(Duplicate1, &QAction::triggered, this, &TMainForm::Duplicate1Click);
    connect(ShowShortcuts1, &QAction::triggered, this, &TMainForm::ShowShortcuts1Click);

    // The same commands lead the Dictionary menu and the grid's pop-up.
    QAction* first = Dictionary1->actions().value(0);
    const QList<QAction*> commands{Add1, Modify1, Remove1, Copy1, Paste1, Duplicate1};
    Dictionary1->insertActions(first, commands);
    Dictionary1->insertSeparator(first);
    Dictionary1->insertAction(first, ShowShortcuts1);
    Dictionary1->insertSeparator(first);
    QAction* popupFirst = DictPopupMenu->actions().value(0);
    DictPopupMenu->insertActions(popupFirst, commands);
    DictPopupMenu->insertSeparator(popupFirst);
    DictPopupMenu->insertAction(popupFirst, ShowShortcuts1);
    DictPopupMenu->insertSeparator(popupFirst);
    // "&Viewer..." stays out of sight unless a menu is opened with Shift held;
    // its key works either way.
    Viewer1 = new QAction(tr("&Viewer..."), this);
    Viewer1->setObjectName(QStringLiteral("Viewer1"));
    Viewer1->setVisible(false);
    connect(Viewer1, &QAction::triggered, this, &TMainForm::Viewer1Click);
    Dictionary1->insertAction(Remove1, Viewer1);
    DictPopupMenu->insertAction(Remove1, Viewer1);
    auto* viewerKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F2), this);
    connect(viewerKey, &QShortcut::activated, Viewer1, &QAction::trigger);
    for (QMenu* menu : {Dictionary1, DictPopupMenu})
        connect(menu, &QMenu::aboutToShow, this, [this] {
            Viewer1->setVisible(QApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
        });
    connect(Dictionary1, &QMenu::aboutToShow, this, &TMainForm::UpdateEntryCommands);
    connect(DictPopupMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateEntryCommands);

    // The buttons above the grid, after the file buttons.
    if (auto* row = GrabBar->findChild<QWidget*>(QStringLiteral("GridPnl"))) {
        auto* buttons = qobject_cast<QHBoxLayout*>(row->layout()->itemAt(0)->layout());
        const auto button = [&](QToolButton*& b, const char* name, QStyle::StandardPixmap icon,
                                QAction* action) {
            b = new QToolButton(row);
            b->setObjectName(QLatin1String(name));
            b->setIcon(style()->standardIcon(icon));
            b->setToolTip(QString(action->text()).remove(QLatin1Char('&')));
            b->setAutoRaise(true);
            connect(b, &QToolButton::clicked, action, &QAction::trigger);
            if (buttons) buttons->insertWidget(buttons->count() - 1, b);
        };
        button(AddSpeedButton, "AddSpeedButton", QStyle::SP_FileDialogNewFolder, Add1);
        button(ModifySpeedButton, "ModifySpeedButton", QStyle::SP_FileDialogContentsView, Modify1);
        button(RemoveSpeedButton, "RemoveSpeedButton", QStyle::SP_TrashIcon, Remove1);
    }
    Grid->installEventFilter(new TGridDeleteKey(*this));
    connect(Grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMainForm::UpdateEntryCommands);
    connect(Grid->model(), &QAbstractItemModel::modelReset, this, &TMainForm::UpdateEntryCommands);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TMainForm::UpdateEntryCommands);
    UpdateEntryCommands();
}

void TMainForm::EntryRows(int& current, int& top, int& bottom) const {
    const QItemSelectionModel* selection = Grid->selectionModel();
    const int row = CurrentRow();
    const bool highlighted = row >= 0 && selection->isRowSelected(row, QModelIndex());
    current = highlighted ? row : -1;
    top = bottom = current;
    const QModelIndexList rows = selection->selectedRows();
    for (const QModelIndex& i : rows) {
        if (top < 0 || i.row() < top) top = i.row();
        if (i.row() > bottom) bottom = i.row();
    }
}

void TMainForm::UpdateEntryCommands() {
    if (!Entries) return;
    int current, top, bottom;
    EntryRows(current, top, bottom);
    const TEntryCommandState s =
        Entries->Operations.CommandState(current, top, bottom, EntryClipboardGui::HasEntries());
    Add1->setEnabled(s.Add);
    AddSpeedButton->setEnabled(s.Add);
    Modify1->setEnabled(s.Modify);
    ModifySpeedButton->setEnabled(s.Modify);
    Remove1->setEnabled(s.Remove);
    RemoveSpeedButton->setEnabled(s.Remove);
    Copy1->setEnabled(s.Copy);
    Paste1->setEnabled(s.Paste);
    Duplicate1->setEnabled(s.Duplicate);
    Viewer1->setEnabled(s.Copy);
    ShowShortcuts1->setChecked(Settings.DisplayShortCuts);
}

namespace {
// After a change: the keyword box's entry is shown again.
void ReshowKeywordEntry(TMainForm& form) {
    form.SetTextToType(QString());
    const QByteArray keyword = Ansi::FromUnicode(form.KeywordEdit->text().trimmed());
    if (keyword.isEmpty()) return;
    const int row = form.Session.Dict().IndexOfKeyword(keyword);
    if (row >= 0) form.ShowEntry(row);
}
} // namespace

bool TMainForm::EditEntry(TDictionaryItem& item, int options, const QString& captionWord) {
    TEditorServices& services = Entries->EditorServices;
    // The configuration folder is known once start-up has read the command line.
    services.IniPath = IniPath();
    services.DictionaryFolder = QFileInfo(Session.FileName()).absolutePath();
    services.TextFont = Memo1->font();
    return EditDictionaryEntry(item, options, captionWord, services, this, PrepareEditor);
}

void TMainForm::Add1Click() {
    if (!isVisible()) return;
    int row = -1;
    if (!Entries->Operations.AddEntry(std::make_unique<TDictionaryItem>(), &row)) return;
    RefreshGrid(row);
    ReshowKeywordEntry(*this);
}

void TMainForm::Modify1Click() {
    if (!isVisible()) return;
    int current, top, bottom;
    EntryRows(current, top, bottom);
    int row = CurrentRow();
    if (!Entries->Operations.Modify(row, &row)) return;
    RefreshGrid(row);
    ReshowKeywordEntry(*this);
}

void TMainForm::Viewer1Click() {
    if (!isVisible()) return;
    int current, top, bottom;
    EntryRows(current, top, bottom);
    Entries->Operations.View(current);
}

void TMainForm::Remove1Click() {
    int current, top, bottom;
    EntryRows(current, top, bottom);
    const int row = CurrentRow();
    if (top < 0) top = bottom = row;
    if (!Entries->Operations.Remove(row, top, bottom)) return;
    RefreshGrid(top);
    ReshowKeywordEntry(*this);
}

void TMainForm::Copy1Click() {
    int current, top, bottom;
    EntryRows(current, top, bottom);
    Entries->Operations.Copy(current, top, bottom);
}

int TMainForm::Paste1Click() {
    int last = -1;
    const int n = Entries->Operations.Paste(&last);
    if (EntryClipboardGui::HasEntries()) RefreshGrid(last);
    return n;
}

void TMainForm::Duplicate1Click() {
    if (!isVisible()) return;
    int current, top, bottom;
    EntryRows(current, top, bottom);
    int row = -1;
    if (!Entries->Operations.Duplicate(current, &row)) return;
    RefreshGrid(row);
    ReshowKeywordEntry(*this);
}

void TMainForm::ShowShortcuts1Click(bool on) {
    Settings.DisplayShortCuts = on;
    RefreshGrid(CurrentRow());
}

void TMainForm::QuickAdd(const QByteArray& keyword, const QByteArray& text) {
    Entries->Operations.Propose(keyword, text);
    int row = -1;
    if (Entries->Operations.AddEntry(std::make_unique<TDictionaryItem>(), &row)) {
        RefreshGrid(row);
        ReshowKeywordEntry(*this);
    }
    // The proposal is used once, added or not.
    Entries->Operations.ClearProposal();
    QTimer::singleShot(0, HideBtn, [this] { HideBtn->click(); });
}

bool TMainForm::TrayRecordingClick() {
    TRecordDlg* recorder = TRecordDlg::Active();
    if (!recorder) return false;
    recorder->StopBtnClick();
    return true;
}
