// The main window's dictionary operations: open files and their tabs, the
// history, unsaved changes, the title, and the grid with the keyword box.
#include "dictionary/Dict.h"
#include "dictionary/EntryRules.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/Keycodes.h"
#include "platform/MessageBox.h"
#include "platform/SafeFile.h"
#include "shell/Autostart.h"
#include "shell/DictionaryGridModel.h"
#include "shell/DroppedTabs.h"
#include "shell/Mainfrm.h"
#include "shell/ProgressForm.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

namespace {
const QString kUntitled = QStringLiteral("Untitled.bxd");
const QString kPagesFile = QStringLiteral("PAGES.CFG");
const QString kHistoryFile = QStringLiteral("HISTORY.CFG");
constexpr int kHistoryMax = 8;
constexpr qint64 kProgressBytes = 200000;

bool SamePath(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString FileNameOf(const QString& path) {
    return QFileInfo(path.trimmed()).fileName();
}

// A name without a folder belongs to the program's own folder.
QString WithProgramDir(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char('/'))) return t;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + t;
}

QString TabCaption(const QString& path) {
    const QString name = FileNameOf(path);
    if (name.isEmpty()) return QStringLiteral("[NONE]");
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QStringList ReadListFile(const QString& path) {
    QStringList lines;
    QFile f;
    if (!SafeFile::OpenForReading(path, f)) return lines; // never waits on a named pipe
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = WithProgramDir(Ansi::ToUnicode(Ansi::Trim(raw)));
        if (!line.isEmpty()) lines << line;
    }
    return lines;
}

void WriteListFile(const QString& path, const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += Ansi::FromUnicode(l) + "\r\n";
    SafeFile::Write(path, out); // failures here are never reported
}

QString WithExtension(QString path) {
    path = path.trimmed();
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".bxd");
    return path;
}

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

void TMainForm::BuildDictionaryControls() {
    Session.FileNameChanged = [this] {
        UpdateTitle();
        UpdateEngineDictionary();
    };
    Session.ModifiedChanged = [this] { UpdateTitle(); };
    GridModel = new TDictionaryModel(&Session.Dict(), this);
    Grid->setModel(GridModel);
    Grid->installEventFilter(this);
    KeywordEdit->installEventFilter(this);
    KeywordEdit->setToolTip(tr("Use Up, Down, Ctrl+Left, Ctrl+Right Arrow keys to navigate"));
    connect(KeywordEdit, &QLineEdit::textEdited, this, [this] { KeywordEditChange(); });
    connect(KeywordEdit, &QLineEdit::textChanged, this, [this] {
        if (ProgrammaticKeyword) ProgrammaticKeyword = false;
    });
    connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (Grid->hasFocus() && current.isValid()) ShowEntry(current.row());
            });
    connect(Grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section == 0)
                    Settings.KeyCol = size;
                else if (section == 1 && GridModel->ShowShortcuts())
                    Settings.ShortCutCol = size;
            });
    connect(TabSet1, &QTabBar::currentChanged, this, &TMainForm::TabSet1Changed);
    connect(TabSet1, &QTabBar::tabMoved, this, [this](int, int to) {
        // Reordering never changes the open dictionary.
        TabsMoving = true;
        TabSet1->setCurrentIndex(to);
        TabsMoving = false;
    });
    if (!AskFileName)
        AskFileName = [this](TFileDialogKind kind, const QString& dir, const QString& proposed) {
            const QString filter = tr("Dictionaries (*.bxd)");
            const QString start = proposed.isEmpty() ? dir : proposed;
            switch (kind) {
            case fdOpen:
                return QFileDialog::getOpenFileName(this, tr("Open Dictionary"), start, filter);
            case fdSaveAs:
                return QFileDialog::getSaveFileName(this, tr("Save Dictionary"), start, filter);
            case fdNew:
                return QFileDialog::getSaveFileName(this, tr("New Dictionary"), start, filter);
            }
            return QString();
        };
    if (!AskYesNoCancel)
        AskYesNoCancel = [this](const QString& message) {
            return TMessageBox::Ask(this, QStringLiteral("Brevix"), message,
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        };
    if (!ShowError)
        ShowError = [this](const QString& message) {
            TMessageBox::Error(this, QStringLiteral("Brevix"), message);
        };
}

// ---- tabs -------------------------------------------------------------------

QStringList TMainForm::TabPaths() const {
    QStringList paths;
    for (int i = 0; i < TabSet1->count(); ++i)
        paths << TabSet1->tabData(i).toMap().value("path").toString();
    return paths;
}

int TMainForm::FindTab(const QString& path) const {
    const QStringList paths = TabPaths();
    for (int i = 0; i < paths.size(); ++i)
        if (SamePath(paths[i], path)) return i;
    return -1;
}

int TMainForm::AddTab(const QString& path) {
    TabsMoving = true;
    const int i = TabSet1->addTab(TabCaption(path));
    TabSet1->setTabData(i, QVariantMap{{"path", path}, {"tag", 0}});
    TabSet1->setTabToolTip(i, path);
    TabsMoving = false;
    return i;
}

void TMainForm::RemoveTab(int index) {
    if (index < 0 || index >= TabSet1->count()) return;
    TabsMoving = true;
    TabSet1->removeTab(index);
    TabsMoving = false;
}

void TMainForm::SelectTabSilently(int index) {
    TabsMoving = true;
    TabSet1->setCurrentIndex(index);
    TabsMoving = false;
}

void TMainForm::TabSet1Changed(int) {
    if (TabsMoving) return;
    // A tab switch saves a modified dictionary without asking.
    if (Session.Modified()) Save1Click();
    TabSet1Click();
}

void TMainForm::TabSet1Click() {
    if (TabsMoving) return;
    CloseOpenDictionary();
    const int index = TabSet1->currentIndex();
    if (index < 0) return;
    const QString path = TabPaths().value(index).trimmed();
    if (path.isEmpty()) return;
    try {
        OpenDictionaryFile(path);
        KeywordEditChange();
    } catch (const EAbort&) {
    } catch (const EBrevix& e) {
        if (!Initialised) return; // start-up goes on with what it has
        ShowError(e.Message());
        if (Session.FileName().isEmpty() && TabSet1->currentIndex() >= 0) {
            CloseOpenDictionary();
            RemoveTab(TabSet1->currentIndex());
        }
    }
}

// ---- opening and closing ---------------------------------------------------

bool TMainForm::OpenDictionary(const QString& path) {
    if (!SaveIfModified()) return false;
    QString p = path.trimmed();
    if (p.isEmpty()) {
        p = AskFileName(fdOpen, LastOpenDir.isEmpty() ? ConfigDir : LastOpenDir, QString())
                .trimmed();
        if (p.isEmpty()) return false;
        LastOpenDir = QFileInfo(p).absolutePath();
    }
    p = QFileInfo(p).absoluteFilePath();
    const QStringList before = TabPaths();
    const QString oldPath = before.value(TabSet1->currentIndex());
    int index = FindTab(p);
    if (index < 0) index = AddTab(p);
    CloseOpenDictionary();
    if (index != TabSet1->currentIndex())
        TabSet1->setCurrentIndex(index); // opens it
    else
        TabSet1Click();

    if (!Session.FileName().isEmpty()) {
        const int current = TabSet1->currentIndex();
        const uint16_t tag = Session.Dict().Header.Word(10);
        QVariantMap data = TabSet1->tabData(current).toMap();
        data["tag"] = tag;
        TabSet1->setTabData(current, data);
        // A file of the same name from another folder gives up its tab.
        const QString name = FileNameOf(Session.FileName());
        for (int i = TabSet1->count() - 1; i >= 0; --i) {
            if (i == TabSet1->currentIndex()) continue;
            const QVariantMap d = TabSet1->tabData(i).toMap();
            if (SamePath(FileNameOf(d.value("path").toString()), name) &&
                d.value("tag").toInt() == tag)
                RemoveTab(i);
        }
        return true;
    }
    // The file failed: its tab goes, and the previous tab comes back.
    RemoveTab(FindTab(p));
    const int old = oldPath.isEmpty() ? -1 : FindTab(oldPath);
    if (old >= 0) {
        if (old != TabSet1->currentIndex())
            TabSet1->setCurrentIndex(old);
        else
            TabSet1Click();
    }
    return false;
}

void TMainForm::CloseOpenDictionary() {
    if (!Session.FileName().isEmpty()) {
        History.prepend(Session.FileName());
        RebuildHistoryMenu();
    }
    Session.Close();
    RefreshGrid(0);
}

bool TMainForm::SaveIfModified() {
    if (!Session.Modified()) return true;
    if (Settings.Has(goAutoSave1) || ScriptRunning()) {
        Save1Click();
        return true;
    }
    const QString message =
        tr("The dictionary '%1' has been modified.\nDo you wish to save changes to disk?")
            .arg(FileNameOf(Session.FileName()));
    switch (AskYesNoCancel(message)) {
    case QMessageBox::Yes:
        Save1Click();
        return true;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TMainForm::OpenDictionaryFile(const QString& fileName) {
    if (Loading) return false;
    const QString name = fileName.trimmed();
    if (name.isEmpty()) return false;
    if (!SaveIfModified()) throw EAbort();
    Loading = true;
    TBusyCursor busy;
    if (!Session.FileName().isEmpty()) History.prepend(Session.FileName());
    History.removeIf([&](const QString& h) { return SamePath(h, name); });
    RebuildHistoryMenu();
    const QFileInfo info(name);
    const QString full = info.absoluteFilePath();
    std::unique_ptr<TProgressForm> progress;
    bool hidden = false;
    const bool links = Initialised && LinksInEffect();
    if (Initialised && (links || info.size() > kProgressBytes)) {
        if (isVisible() && !isMinimized()) {
            hidden = true;
            hide();
        }
        progress = std::make_unique<TProgressForm>(tr("Loading %1...").arg(info.fileName()));
        progress->show();
    }
    const auto finish = [&] {
        progress.reset();
        if (hidden) TrayOpenOptClick();
        if (KeywordEdit->isVisible()) KeywordEdit->setFocus();
        RefreshGrid(-1);
        Loading = false;
    };
    TLinkMerge merge = NewLinkMerge(progress.get());
    try {
        const TLoadResult r =
            Session.Open(full, !Initialised, progress.get(), links ? &merge : nullptr);
        if (Initialised && !r.complete)
            StatusLbl->setText(tr("%1: reading stopped at byte %2 (%3); %4 entries were read.")
                                   .arg(info.fileName())
                                   .arg(r.stopOffset)
                                   .arg(r.stopReason)
                                   .arg(r.recordsRead));
    } catch (...) {
        finish();
        if (links) LinkMergeDone(merge);
        if (Initialised && info.exists())
            ShowError(tr("%1 could not be opened.\nYou do not have permission to use this file or\n"
                         "it is not a recognized dictionary file.")
                          .arg(full));
        throw;
    }
    finish();
    if (links) LinkMergeDone(merge);
    return true;
}

void TMainForm::SaveDictionaryFile(const QString& fileName, bool makeBackup) {
    if (Session.Dict().GetReadOnly()) return;
    const QFileInfo info(fileName);
    if (info.exists() && !info.isWritable()) {
        ShowError(FileReadOnlyMsg(fileName));
        return;
    }
    TBusyCursor busy;
    std::unique_ptr<TProgressForm> progress;
    if (Session.Dict().TotalChars() > kProgressBytes) {
        progress = std::make_unique<TProgressForm>(tr("Saving %1...").arg(info.fileName()));
        progress->show();
    }
    Session.Save(fileName, makeBackup, progress.get());
    progress.reset();
    SaveSettings();
    RefreshGrid(CurrentRow());
}

void TMainForm::Save1Click() {
    if (Session.Dict().GetReadOnly()) return;
    const QString& open = Session.FileName();
    if (!open.isEmpty() && !SamePath(FileNameOf(open), kUntitled))
        SaveDictionaryFile(open, true);
    else
        SaveAs1Click();
}

void TMainForm::SaveAs1Click() {
    if (Session.Dict().GetReadOnly()) return;
    const QString& open = Session.FileName();
    const bool untitled = open.isEmpty() || SamePath(FileNameOf(open), kUntitled);
    // The dialog starts where the last Save As went, the first time in the configuration folder.
    const QString path = WithExtension(AskFileName(
        fdSaveAs, LastSaveDir.isEmpty() ? ConfigDir : LastSaveDir, untitled ? QString() : open));
    if (path.isEmpty()) return;
    LastSaveDir = QFileInfo(path).absolutePath();
    SaveAsTo(path);
}

void TMainForm::SaveAsTo(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!Session.FileName().isEmpty()) History.prepend(Session.FileName());
    History.removeIf([&](const QString& h) { return SamePath(h, full); });
    RebuildHistoryMenu();
    const QString oldPath = TabPaths().value(TabSet1->currentIndex());
    const int oldIndex = TabSet1->currentIndex();
    Session.SetFileName(full);
    SaveDictionaryFile(full, true);
    OpenDictionary(full);
    const int now = FindTab(full);
    if (now < 0 || oldIndex < 0 || SamePath(oldPath, full)) return;
    // The new file takes the old tab's place; the other tabs keep their order.
    TabsMoving = true;
    const int oldNow = FindTab(oldPath);
    if (oldNow >= 0) {
        TabSet1->moveTab(now, oldNow);
        TabSet1->removeTab(FindTab(oldPath));
    } else {
        TabSet1->moveTab(now, std::min(oldIndex, TabSet1->count() - 1));
    }
    TabSet1->setCurrentIndex(FindTab(full));
    TabsMoving = false;
}

void TMainForm::New1Click() {
    if (!SaveIfModified()) return;
    const QString path = WithExtension(AskFileName(fdNew, ConfigDir, QString()));
    if (!path.isEmpty()) CreateDictionary(path);
}

void TMainForm::CreateDictionary(const QString& path) {
    CloseOpenDictionary();
    SaveDictionaryFile(path, true);
    ProgrammaticKeyword = true;
    KeywordEdit->clear();
    OpenDictionary(path);
}

void TMainForm::CloseFile1Click() {
    if (!SaveIfModified()) return;
    const int index = TabSet1->currentIndex();
    if (index < 0) return;
    CloseOpenDictionary();
    RemoveTab(index);
    // The neighbouring tab's dictionary becomes the open one.
    if (TabSet1->count() > 0) TabSet1Click();
}

void TMainForm::Refresh1Click() {
    if (!Session.FileName().isEmpty()) OpenDictionaryFile(Session.FileName());
}

void TMainForm::AddFile1Click() {
    OpenDictionary(QString());
}

void TMainForm::UpdateTitle() {
    const QString& open = Session.FileName();
    const QString status = Session.StatusText();
    const QString name = open.isEmpty() ? QStringLiteral("[None]") : FileNameOf(open);
    setWindowTitle(ProgramTitle() + QStringLiteral(" - ") + name + status);
    // Task bars show the icon name (_NET_WM_ICON_NAME) for a minimised window.
    setWindowIconText(ApplicationTitle());
    Grid->horizontalHeader()->setToolTip(QStringLiteral("Active File = ") + open + status);
}

QString TMainForm::ApplicationTitle() const {
    const QString& open = Session.FileName();
    return ProgramTitle() + QLatin1Char(' ') +
           (open.isEmpty() ? QStringLiteral("[None]") : FileNameOf(open));
}

// ---- history ---------------------------------------------------------------

void TMainForm::RebuildHistoryMenu() {
    QStringList normal;
    for (const QString& h : History) {
        const QString e = WithProgramDir(h);
        if (e.isEmpty()) continue;
        bool seen = false;
        for (const QString& n : normal)
            seen = seen || SamePath(n, e);
        if (!seen) normal << e;
    }
    while (normal.size() > kHistoryMax)
        normal.removeLast();
    History = normal;
    for (QAction* a : historyActions_) {
        File1->removeAction(a);
        a->deleteLater();
    }
    historyActions_.clear();
    for (int i = 0; i < History.size(); ++i) {
        QAction* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(History[i]), File1);
        connect(a, &QAction::triggered, this, [this, i] {
            if (i < History.size()) OpenDictionary(History[i]);
        });
        File1->addAction(a);
        historyActions_ << a;
    }
}

void TMainForm::FileMenuAboutToShow() {
    const bool writable = !Session.Dict().GetReadOnly();
    CloseFile1->setEnabled(TabSet1->count() > 0);
    Save1->setEnabled(writable);
    SaveAs1->setEnabled(writable);
    StartWithSession1->setChecked(Autostart::Enabled());
}

// ---- start-up and the list files ---------------------------------------------

void TMainForm::OpenStoredDictionaries() {
    TabsMoving = true;
    while (TabSet1->count() > 0)
        TabSet1->removeTab(0);
    TabsMoving = false;
    TDroppedTabs dropped;
    for (const QString& path : ReadListFile(JoinPath(ConfigDir, kPagesFile))) {
        if (!QFileInfo::exists(path)) {
            dropped.Missing << path;
            continue;
        }
        try {
            if (!OpenDictionary(path)) dropped.Unreadable << path;
        } catch (const std::exception&) {
            dropped.Unreadable << path; // a stored tab that cannot be read is skipped
        }
    }
    // Said once, when the window is up: the next PAGES.CFG no longer holds them.
    if (!dropped.Empty() && !HookUnavailable())
        QTimer::singleShot(0, this, [this, text = dropped.Message()] { ShowError(text); });
    History = ReadListFile(JoinPath(ConfigDir, kHistoryFile));
    RebuildHistoryMenu();
}

void TMainForm::OpenFirstDictionary() {
    try {
        if (!History.isEmpty())
            OpenDictionary(History.first());
        else if (TabSet1->count() > 0) {
            if (TabSet1->currentIndex() != 0)
                TabSet1->setCurrentIndex(0);
            else
                TabSet1Click();
        }
    } catch (const std::exception&) {
    }
    try {
        if (TabSet1->count() == 0) {
            KeepShownAtStart = true;
            if (!OpenDictionary(QString())) {
                const QString untitled = JoinPath(ConfigDir, kUntitled);
                if (!QFileInfo::exists(untitled))
                    CreateDictionary(untitled);
                else
                    OpenDictionary(untitled);
            }
        }
    } catch (const std::exception&) {
    }
    UpdateTitle();
}

void TMainForm::WriteFileLists() {
    if (!Initialised || HookUnavailable()) return;
    if (!Session.FileName().isEmpty()) History.prepend(Session.FileName());
    WriteListFile(JoinPath(ConfigDir, kHistoryFile), History);
    WriteListFile(JoinPath(ConfigDir, kPagesFile), TabPaths());
}

// ---- grid and keyword box ----------------------------------------------------

void TMainForm::RefreshGrid(int row) {
    Session.RebuildShortcutIndex(Settings.ProgramHotKey);
    const int top = Grid->verticalScrollBar()->value();
    GridModel->SetShowShortcuts(Settings.DisplayShortCuts);
    GridModel->SetKeywordColors(Settings.KeywordColor, Settings.LinkedKeywordColor);
    GridModel->Reset();
    Grid->horizontalHeader()->resizeSection(0, Settings.KeyCol);
    if (Settings.DisplayShortCuts) Grid->horizontalHeader()->resizeSection(1, Settings.ShortCutCol);
    Grid->verticalScrollBar()->setValue(top);
    if (Session.Dict().Count() == 0) return;
    if (row >= 0)
        ShowEntry(std::min(row, Session.Dict().Count() - 1));
    else
        KeywordEditChange(true);
}

int TMainForm::CurrentRow() const {
    const QModelIndex i = Grid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TMainForm::SetHighlight(bool on) {
    const QModelIndex current = Grid->currentIndex();
    if (on && current.isValid())
        Grid->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    else
        Grid->selectionModel()->clearSelection();
}

void TMainForm::ShowEntry(int row) {
    if (row < 0 || row >= Session.Dict().Count()) return;
    const TDictionaryItem* item = Session.Dict().GetItem(row);
    Grid->selectionModel()->setCurrentIndex(GridModel->index(row, 0),
                                            QItemSelectionModel::NoUpdate);
    Grid->scrollTo(GridModel->index(row, 0));
    ProgrammaticKeyword = true;
    KeywordEdit->setText(Ansi::ToUnicode(item->GetKeyword()));
    ProgrammaticKeyword = false;
    SetHighlight(true);
    SetTextToType(Ansi::ToUnicode(item->GetText()));
}

void TMainForm::KeywordEditChange(bool forced) {
    SetHighlight(false);
    SetTextToType(QString());
    const QByteArray s = Ansi::FromUnicode(KeywordEdit->text().trimmed());
    if (!((KeywordEdit->hasFocus() && !s.isEmpty()) || forced)) return;
    const int idx = Session.Dict().FindNearest(s);
    if (idx < 0) return;
    Grid->selectionModel()->setCurrentIndex(GridModel->index(idx, 0),
                                            QItemSelectionModel::NoUpdate);
    Grid->scrollTo(GridModel->index(idx, 0), QAbstractItemView::PositionAtCenter);
    if (Ansi::Upper(Session.Dict().GetKeywordAt(idx)).startsWith(Ansi::Upper(s))) {
        SetHighlight(true);
        SetTextToType(Ansi::ToUnicode(Session.Dict().GetItem(idx)->GetText()));
    }
}

bool TMainForm::KeywordEditKeyDown(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int count = Session.Dict().Count();
    const int row = CurrentRow();
    const auto follows = [&] {
        const QByteArray s = Ansi::Lower(Ansi::FromUnicode(KeywordEdit->text().trimmed()));
        return !s.isEmpty() && row >= 0 &&
               Ansi::Lower(Session.Dict().GetKeywordAt(row).left(s.size())) == s;
    };
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up: {
        if (count == 0) return true;
        const bool down = event->key() == Qt::Key_Down;
        int target = std::max(row, 0);
        if (follows()) target = down ? std::min(row + 1, count - 1) : std::max(row - 1, 0);
        ShowEntry(target);
        KeywordEdit->selectAll();
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (mods != Qt::ControlModifier || TabSet1->count() == 0) return false;
        const int n = TabSet1->count(), cur = TabSet1->currentIndex();
        const int next = event->key() == Qt::Key_Left ? (cur <= 0 ? n - 1 : cur - 1)
                                                      : (cur >= n - 1 ? 0 : cur + 1);
        if (next != cur) TabSet1->setCurrentIndex(next);
        KeywordEdit->selectAll();
        return true;
    }
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        if (count == 0) return true;
        // The grid scrolls a page; the row at its new top becomes current, or
        // the last row when it could not scroll further down.
        const int top = std::max(Grid->rowAt(0), 0);
        Grid->verticalScrollBar()->triggerAction(event->key() == Qt::Key_PageDown
                                                     ? QAbstractSlider::SliderPageStepAdd
                                                     : QAbstractSlider::SliderPageStepSub);
        const int newTop = std::max(Grid->rowAt(0), 0);
        const int target = event->key() == Qt::Key_PageDown && newTop == top ? count - 1 : newTop;
        Grid->selectionModel()->setCurrentIndex(GridModel->index(target, 0),
                                                QItemSelectionModel::NoUpdate);
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (mods != Qt::ControlModifier) return false;
        if (count > 0) {
            const int target = event->key() == Qt::Key_Home ? 0 : count - 1;
            Grid->selectionModel()->setCurrentIndex(GridModel->index(target, 0),
                                                    QItemSelectionModel::NoUpdate);
            Grid->scrollTo(GridModel->index(target, 0));
        }
        return true;
    }
    default:
        return false;
    }
}

void TMainForm::GridKeyPress(const QString& text) {
    KeywordEdit->setFocus();
    KeywordEdit->setText(text);
    KeywordEdit->setCursorPosition(static_cast<int>(text.size()));
    KeywordEditChange();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == KeywordEdit) return KeywordEditKeyDown(key);
        if (watched == Grid) {
            const QString t = key->text();
            if (t.size() == 1 && t[0].unicode() > ' ' &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                GridKeyPress(t);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
