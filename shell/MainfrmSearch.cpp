// The main window's read-only services on the open dictionary: Find and
// Search Again over texts, keywords and descriptions, Print to File, Copy to
// and the dictionary info box.
#include "dictionary/Dict.h"
#include "dictionary/DictPrint.h"
#include "dictionary/gui/DictionaryInfoDialog.h"
#include "dictionary/gui/FindDialog.h"
#include "hook/HookProtocol.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "shell/Mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

namespace {
QString PrintedNow() {
    const QLocale locale = QLocale::system();
    return locale.toString(QDateTime::currentDateTime(),
                           locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                               locale.timeFormat(QLocale::LongFormat));
}

// The window makes way for a file dialog and comes back after it.
class TStepAside {
public:
    explicit TStepAside(QWidget* window) : window_(window) {
        shown_ = window->isVisible() && !window->isMinimized();
        if (shown_) window->hide();
    }
    ~TStepAside() {
        if (!shown_) return;
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
    }

private:
    QWidget* window_;
    bool shown_ = false;
};
} // namespace

void TMainForm::BuildSearchMenus() {
    Copyto1 = new QAction(tr("Cop&y to..."), this);
    Copyto1->setObjectName(QStringLiteral("Copyto1"));
    connect(Copyto1, &QAction::triggered, this, &TMainForm::Copyto1Click);
    File1->insertAction(CloseFile1, Copyto1);
    PrinttoFile1 = new QAction(tr("Print to &File..."), this);
    PrinttoFile1->setObjectName(QStringLiteral("PrinttoFile1"));
    connect(PrinttoFile1, &QAction::triggered, this, &TMainForm::PrinttoFile1Click);
    const QList<QAction*> fileItems = File1->actions();
    File1->insertAction(fileItems.value(fileItems.indexOf(CloseFile1) + 1), PrinttoFile1);
    connect(File1, &QMenu::aboutToShow, this, &TMainForm::UpdateFileOutputCommands);

    Dictionary1->addSeparator();
    Find1 = Dictionary1->addAction(tr("&Find..."), this, &TMainForm::Find1Click);
    Find1->setObjectName(QStringLiteral("Find1"));
    Find1->setShortcut(QKeySequence::Find);
    FindNext1 = Dictionary1->addAction(tr("Search Agai&n"), this, &TMainForm::FindNext1Click);
    FindNext1->setObjectName(QStringLiteral("FindNext1"));
    FindNext1->setShortcut(Qt::Key_F3);
    Dictionary1->addSeparator();
    Info1 = Dictionary1->addAction(tr("&Info"), this, &TMainForm::Info1Click);
    Info1->setObjectName(QStringLiteral("Info1"));

    XFindDialog1 = new TXFindDialog(this);
    XFindDialog1->MemoControl = Memo1;
    connect(XFindDialog1, &TXFindDialog::Find, this, &TMainForm::XFindDialog1Find);
    connect(XFindDialog1, &TXFindDialog::WordFound, this, &TMainForm::XFindDialog1WordFound);
    connect(XFindDialog1, &TXFindDialog::WordNotFound, this, &TMainForm::XFindDialog1WordNotFound);

    if (!AskPrintFileName)
        AskPrintFileName = [this](const QString& dir) {
            QFileDialog dialog(this, tr("Print to File"), dir,
                               tr("Text File (*.txt);;All Files (*)"));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("txt"));
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        };
}

void TMainForm::UpdateFileOutputCommands() {
    const bool writable = !Session.Dict().GetReadOnly();
    PrinttoFile1->setEnabled(TabSet1->count() > 0 && writable);
    Copyto1->setEnabled(!Session.FileName().isEmpty() && writable);
}

// ---- search -------------------------------------------------------------------

void TMainForm::Find1Click() {
    if (isMinimized()) return;
    LastFoundRow = -1;
    // Misses are answered by Search Again, which goes on through the entries.
    XFindDialog1->NotFoundMsg.clear();
    XFindDialog1->show();
    XFindDialog1->raise();
    XFindDialog1->activateWindow();
    XFindDialog1->FindEdit->setFocus();
    XFindDialog1->FindEdit->selectAll();
}

void TMainForm::XFindDialog1Find() {
    XFindDialog1->hide();
    activateWindow();
    XFindDialog1->Execute();
}

void TMainForm::XFindDialog1WordFound() {
    Memo1->setFocus();
    LastFoundRow = CurrentRow();
}

void TMainForm::XFindDialog1WordNotFound() {
    QTimer::singleShot(0, this, &TMainForm::FindNext1Click);
}

void TMainForm::FindNext1Click() {
    if (isMinimized() || Searching || !isVisible()) return;
    const QString what = XFindDialog1->FindText();
    if (what.isEmpty()) {
        QTimer::singleShot(0, this, &TMainForm::Find1Click);
        return;
    }
    const TSearchOptions options = XFindDialog1->Options();
    const TTextSearch search(Ansi::FromUnicode(what), options);
    const QString file = Session.FileName();
    const bool typeItEnabled = TypeItBtn->isEnabled();
    const QString hideCaption = HideBtn->text();
    Searching = true;
    TypeItBtn->setEnabled(false);
    HideBtn->setText(tr("Stop"));

    const TDictionaryList& dict = Session.Dict();
    while (Searching) {
        const int row = CurrentRow();
        const TDictionaryItem* shown = dict.GetItem(row);
        if (LastFoundRow != row) {
            if (TXFindDialog::SearchEdit(Memo1, what, options) >= 0) {
                Memo1->setFocus();
                LastFoundRow = -1;
                break;
            }
            if (search.Find(Ansi::FromUnicode(KeywordEdit->text())) >= 0 ||
                (shown && search.Find(shown->GetDescription()) >= 0)) {
                LastFoundRow = row;
                Grid->setFocus();
                break;
            }
        }
        if (row < dict.Count() - 1) {
            ProgrammaticKeyword = true;
            KeywordEdit->clear();
            ProgrammaticKeyword = false;
            SetTextToType(
                tr("Searching for: \"%1\" ...\nClick STOP to stop the search.").arg(what));
            QCoreApplication::processEvents();
            // The dictionary may have changed meanwhile, or the user pressed Stop.
            if (!Searching || Loading || Session.FileName() != file) {
                if (Session.FileName() == file) ShowEntry(row);
                break;
            }
            int r = row + 1;
            for (; r < dict.Count() - 1; ++r) {
                const TDictionaryItem* item = dict.GetItem(r);
                if (search.Find(item->GetText()) >= 0 || search.Find(item->GetKeyword()) >= 0 ||
                    search.Find(item->GetDescription()) >= 0)
                    break;
            }
            LastFoundRow = -1;
            ShowEntry(r);
            Memo1->moveCursor(QTextCursor::Start);
            continue;
        }
        const int answer = AskBox(
            QMessageBox::Question, tr("Not Found"),
            tr("The search text was not found.\nDo you want to restart the "
               "search\nfrom the beginning of the dictionary?"),
            QString(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer != QMessageBox::Yes || dict.Count() == 0 || Session.FileName() != file) break;
        LastFoundRow = -1;
        ShowEntry(0);
        Memo1->moveCursor(QTextCursor::Start);
    }
    Searching = false;
    TypeItBtn->setEnabled(typeItEnabled);
    HideBtn->setText(hideCaption);
}

// ---- printing, copying, info ----------------------------------------------------

void TMainForm::PrinttoFile1Click() {
    TStepAside aside(this);
    SetFSM(BX_FSM_SUSPENDED);
    const QString path = AskPrintFileName(LastPrintDir.isEmpty() ? ConfigDir : LastPrintDir);
    if (path.isEmpty()) return;
    LastPrintDir = QFileInfo(path).absolutePath();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray listing = PrintListing(Session.Dict(), Session.FileName(), PrintedNow());
    QString error;
    const bool written = SafeFile::Write(path, listing, &error);
    QApplication::restoreOverrideCursor();
    if (!written) ShowError(tr("Cannot create file \"%1\".\n%2").arg(path, error));
}

void TMainForm::Copyto1Click() {
    UpdateFileOutputCommands();
    if (!Copyto1->isEnabled() || !SaveIfModified()) return;
    // Changes the user chose not to save stay unsaved in the open dictionary.
    const bool modified = Session.Modified();
    TStepAside aside(this);
    const QString open = Session.FileName();
    const bool untitled = QFileInfo(open).fileName().compare(QStringLiteral("Untitled.bxd"),
                                                             Qt::CaseInsensitive) == 0;
    QString path = AskFileName(fdSaveAs, LastSaveDir.isEmpty() ? ConfigDir : LastSaveDir,
                               untitled ? QString() : open)
                       .trimmed();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".bxd");
    const QFileInfo target(path);
    LastSaveDir = target.absolutePath();
    try {
        SaveDictionaryFile(target.absoluteFilePath(), false);
    } catch (const EBrevix& e) {
        ShowError(e.Message());
    }
    Session.SetModified(modified);
}

void TMainForm::Info1Click() {
    QByteArray line1, line2, line3;
    Session.Dict().GetInfoLines(line1, line2, line3);
    TDictionaryInfoDlg dlg(Session.FileName(), Session.Dict().Count(), line1, line2, line3, this);
    if (PrepareDialog) PrepareDialog(&dlg);
    dlg.exec();
}
