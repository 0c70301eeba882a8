#include "tags/gui/InputMemoDlg.h"

#include "platform/Ansi.h"
#include "platform/MessageBox.h"
#include "tags/Bookmarks.h"
#include "tags/ParseTxt.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputHelp.h"
#include "tags/gui/InputHost.h"
#include "tags/gui/SpellCheckDialog.h"
#include "tags/gui/TextPrinter.h"
#include "tags/gui/WindowPlacement.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("InputMemoDlg");
QPointer<TInputMemoDlg> gInstance;

QString FromCrLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QString ToCrLf(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace

// The window's text control as the field process sees it: texts with CR LF.
// Whether a run changed the text is kept here rather than read from the
// document, whose mark each text put in resets: a field whose answer changed
// the text counts, and so does an edit made in the control meanwhile (an
// entry expanded into it while a field was asked for).
class TMemoEdit : public TInputEdit {
public:
    explicit TMemoEdit(QPlainTextEdit* memo) : memo_(memo) {}
    QString Text() const override { return ToCrLf(memo_->toPlainText()); }
    void SetText(const QString& text) override {
        const QString plain = FromCrLf(text);
        if (memo_->document()->isModified()) changed_ = true;
        if (plain == memo_->toPlainText()) return;
        memo_->setPlainText(plain);
        changed_ = true;
    }
    void SetModified(bool m) override {
        changed_ = m;
        memo_->document()->setModified(m);
    }
    bool Changed() const { return changed_ || memo_->document()->isModified(); }

private:
    QPlainTextEdit* memo_;
    bool changed_ = false;
};

TInputMemoDlg* TInputMemoDlg::Instance() {
    return gInstance;
}

TInputMemoDlg* TInputMemoDlg::StartInputText(TInputHost& host, const QByteArray& text) {
    if (!gInstance) {
        gInstance = new TInputMemoDlg(host, nullptr);
        if (Made) Made(*gInstance);
    }
    TInputMemoDlg* dlg = gInstance;
    QByteArray t = text;
    if (const qsizetype nul = t.indexOf('\0'); nul >= 0) t.truncate(nul);
    dlg->original_ = Ansi::ToUnicode(t);
    dlg->Memo1->setPlainText(FromCrLf(dlg->original_));
    dlg->Restart();
    return dlg;
}

TInputMemoDlg::TInputMemoDlg(TInputHost& host, QWidget* parent)
    : QDialog(parent), host_(host), list_(std::make_unique<TBXInputList>()),
      process_(std::make_unique<TInputFieldProcess>(host)) {
    setObjectName(QStringLiteral("InputMemoDlg"));
    setWindowTitle(tr("Brevix  Text To Type"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(325, 237);
    resize(560, 380);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(host.TextFont());
    Memo1->installEventFilter(this);
    // Tab goes on to the buttons, as the status line says; Ctrl+Tab types one.
    Memo1->setTabChangesFocus(true);
    edit_ = std::make_unique<TMemoEdit>(Memo1);
    const auto button = [this](const QString& caption, const QString& name, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        if (!hint.isEmpty()) b->setToolTip(hint);
        return b;
    };
    TypeItBtn = button(tr("&Type It"), QStringLiteral("TypeItBtn"), QString());
    TypeItBtn->setDefault(true);
    CancelBtn = button(tr("Cancel"), QStringLiteral("CancelBtn"), tr("Cancel expansion"));
    HelpBtn = button(tr("Help"), QStringLiteral("HelpBtn"), tr("Display Help"));
    RestartBtn = button(tr("&Restart"), QStringLiteral("RestartBtn"), QString());
    PrintBtn = button(tr("&Print"), QStringLiteral("PrintBtn"), QString());
    UndoBtn = button(tr("&Undo"), QStringLiteral("UndoBtn"), QString());
    SpellBtn = button(tr("Spell Chec&k"), QStringLiteral("SpellBtn"), tr("Spell Check"));
    SaveExitBtn = button(tr("Save && Exit"), QStringLiteral("SaveExitBtn"), QString());
    StatusLbl = new QLabel(tr("Use Ctrl+Enter to create a new line; Ctrl+Tab to enter Tabs"), this);
    StatusLbl->setObjectName(QStringLiteral("StatusLbl"));
    // Two rows, so that no caption is cut at the window's smallest width.
    auto* row = new QGridLayout;
    const QPushButton* order[] = {TypeItBtn, RestartBtn,  UndoBtn,   PrintBtn,
                                  SpellBtn,  SaveExitBtn, CancelBtn, HelpBtn};
    for (int i = 0; i < 8; ++i)
        row->addWidget(const_cast<QPushButton*>(order[i]), i / 4, i % 4);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Memo1, 1);
    l->addLayout(row);
    l->addWidget(StatusLbl);
    connect(TypeItBtn, &QPushButton::clicked, this, &TInputMemoDlg::TypeItBtnClick);
    connect(RestartBtn, &QPushButton::clicked, this, &TInputMemoDlg::RestartBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &TInputMemoDlg::PrintBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TInputMemoDlg::CancelBtnClick);
    connect(SaveExitBtn, &QPushButton::clicked, this, &TInputMemoDlg::SaveExitBtnClick);
    connect(UndoBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::undo);
    connect(SpellBtn, &QPushButton::clicked, this, [this] {
        SpellCheckText(Memo1);
        Memo1->setFocus();
    });
    InputHelp::SetTopic(this, "review");
    connect(HelpBtn, &QPushButton::clicked, this, [this] { InputHelp::Open(this, &host_); });
    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TInputMemoDlg::TimerTimer);
    Timer1->start();
    process_->ShownText = [this]() -> std::optional<QString> {
        if (!isVisible()) return std::nullopt;
        return ToCrLf(Memo1->toPlainText());
    };
    process_->OnRestored = [this](const QString& first) { original_ = first; };
    list_->SetUi(process_.get());
    WindowPlacement::Restore(this, host.IniPath(), kSection);
    host_.SetInputFormMode(true);
}

TInputMemoDlg::~TInputMemoDlg() {
    WindowPlacement::Save(this, host_.IniPath(), kSection);
    process_->Finished();
    host_.SetInputFormMode(false);
    if (typeOnClose_) host_.TypeFinishedText(FinishedText());
}

QByteArray TInputMemoDlg::FinishedText() const {
    return Ansi::FromUnicode(ToCrLf(Memo1->toPlainText()));
}

void TInputMemoDlg::Restart() {
    list_->Current = 0;
    Memo1->setPlainText(FromCrLf(original_));
    Memo1->document()->clearUndoRedoStacks();
    kept_.Tags.clear();
    // The fields start from the window's own event handling.
    QTimer::singleShot(0, this, [this] { TypeItBtnClick(); });
}

void TInputMemoDlg::RestartBtnClick() {
    if (TMessageBox::Ask(this, QStringLiteral("Brevix"),
                         tr("Undo all modifications and restart from the beginning?")) !=
        QMessageBox::Yes) {
        Memo1->setFocus();
        return;
    }
    Restart();
}

bool TInputMemoDlg::RunFields() {
    if (running_) return false;
    running_ = true;
    QString text = ToCrLf(Memo1->toPlainText());
    RestoreInputTags(text, kept_);
    Memo1->setPlainText(FromCrLf(text));
    edit_->SetModified(false);
    Memo1->document()->clearUndoRedoStacks();
    setEnabled(false);
    hide();
    Timer1->stop();
    list_->Current = 0;
    QPointer<TInputMemoDlg> self(this);
    const int code = list_->Run(*edit_);
    if (!self) return false;
    running_ = false;
    if (code == nav::TooMany)
        TMessageBox::Error(this, QStringLiteral("Brevix"),
                           tr("Maximum number of input tags have been exceeded.\nCheck your text "
                              "for recursive loops by {@INPUTFILE} tags."));
    if (!list_->Interactive() && code != nav::Cancel) return true;
    host_.BringToFront();
    const bool modified = edit_->Changed();
    QString shown = ToCrLf(Memo1->toPlainText());
    HideInputTags(shown, 1, kept_);
    QByteArray stream = Ansi::FromUnicode(shown);
    stream.append('\0');
    ParseTextToType(stream, true);
    Memo1->setPlainText(FromCrLf(Ansi::ToUnicode(stream.left(stream.indexOf('\0')))));
    Memo1->document()->setModified(modified);
    show();
    setEnabled(true);
    Timer1->start();
    if (code == nav::Cancel) {
        Cancel();
        return false;
    }
    raise();
    activateWindow();
    TypeItBtn->setFocus();
    if ((code == nav::Done || code == nav::TooMany) && !modified) return true;
    emit ReviewShown();
    return false;
}

void TInputMemoDlg::TypeItBtnClick() {
    if (!RunFields()) return;
    typeOnClose_ = true;
    closing_ = true;
    close();
}

void TInputMemoDlg::PrintBtnClick() {
    if (!RunFields()) return;
    hide();
    // What would be typed, tags converted as the review shows them.
    QByteArray stream = FinishedText();
    stream.append('\0');
    ParseTextToType(stream, true);
    PrintPlainText(this, Ansi::ToUnicode(stream.left(stream.indexOf('\0'))), Memo1->font(),
                   windowTitle());
    show();
    setEnabled(true);
    Timer1->start();
}

void TInputMemoDlg::Cancel() {
    typeOnClose_ = false;
    closing_ = true;
    host_.CancelInput();
    close();
}

void TInputMemoDlg::CancelBtnClick() {
    if (TMessageBox::Ask(this, QStringLiteral("Brevix"), tr("Abort input.     \nAre you sure?")) !=
        QMessageBox::Yes) {
        Memo1->setFocus();
        return;
    }
    Cancel();
}

void TInputMemoDlg::reject() {
    // The title bar's close and Escape outside the text are the cancel button.
    if (closing_)
        QDialog::reject();
    else
        CancelBtnClick();
}

void TInputMemoDlg::SaveExitBtnClick() {
    const int current = list_->Current;
    list_->Current = 0;
    const int code = process_->SaveSession(*list_);
    list_->Current = current;
    if (code == nav::Next || code == nav::Cancel) Cancel();
}

bool TInputMemoDlg::InsertEntryText(const QString& text) {
    if (TInputFieldForm* form = process_->Form(); form && form->FreeFormShowing()) {
        form->InsertText(text);
        return true;
    }
    if (running_) return false;
    if (FindInputTag(text).Start < 0) {
        Memo1->document()->clearUndoRedoStacks();
        Memo1->insertPlainText(FromCrLf(text));
        Memo1->setFocus();
        return true;
    }
    // Placeholders back, the text in at the caret, then all tags hidden again
    // numbered as before; bookmarks keep the caret's place meanwhile.
    QTextCursor cursor = Memo1->textCursor();
    const QString plain = Memo1->toPlainText();
    QString all = ToCrLf(plain);
    qsizetype caret = cursor.position() + plain.left(cursor.position()).count(QLatin1Char('\n'));
    const uint32_t first = InsertBookmark(all, caret);
    const int number = kept_.Tags.isEmpty() ? 1 : kept_.First;
    RestoreInputTags(all, kept_);
    FindBookmark(all, caret, first);
    all.insert(caret, text);
    caret += text.size();
    const uint32_t second = InsertBookmark(all, caret);
    HideInputTags(all, number, kept_);
    FindBookmark(all, caret, second);
    caret -= all.left(caret).count(QStringLiteral("\r\n"));
    Memo1->setPlainText(FromCrLf(all));
    cursor = Memo1->textCursor();
    cursor.setPosition(
        static_cast<int>(qMin(caret, qsizetype(Memo1->document()->characterCount() - 1))));
    Memo1->setTextCursor(cursor);
    Memo1->setFocus();
    return true;
}

bool TInputMemoDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        if (key->key() == Qt::Key_Escape) {
            Cancel(); // Escape in the text cancels without asking
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !ctrl) {
            TypeItBtn->click();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && ctrl) {
            Memo1->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        if (key->key() == Qt::Key_Tab && ctrl) {
            Memo1->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInputMemoDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) host_.SetFSM(1);
}

void TInputMemoDlg::TimerTimer() {
    const bool on = isEnabled();
    UndoBtn->setEnabled(on && Memo1->document()->isUndoAvailable());
    for (QPushButton* b : {TypeItBtn, PrintBtn, RestartBtn, CancelBtn, HelpBtn, SpellBtn})
        b->setEnabled(on);
}
