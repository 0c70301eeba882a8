#include "tags/gui/InputFieldForm.h"

#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/SafeFile.h"
#include "tags/InputScripts.h"
#include "tags/gui/DateEdit.h"
#include "tags/gui/InputHelp.h"
#include "tags/gui/InputHost.h"
#include "tags/gui/PickList.h"
#include "tags/gui/SpellCheckDialog.h"
#include "tags/gui/WindowPlacement.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("InputFieldFrm");
const QString kCancelQuestion =
    QStringLiteral("Abort input and return to your word processor.\nAre you sure?");
// A file field reads text; more than this is no text to type.
constexpr qint64 kMaxInputFile = 16LL << 20;

QPushButton* Button(const QString& caption, QWidget* parent, const QString& name) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Text files here are mostly UTF-8; anything else is read as Windows-1252.
QByteArray FileText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return Ansi::FromUnicode(text);
    return bytes;
}

} // namespace

TInputFieldForm::TInputFieldForm(TInputHost* host, bool inputBox, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), inputBox_(inputBox),
      iniPath_(host ? host->IniPath() : QString()) {
    setObjectName(inputBox ? QStringLiteral("InputBox") : QStringLiteral("InputFieldFrm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildControls();
    setMinimumSize(325, 284);
    resize(600, 360);
    if (host_) {
        const QFont font = host_->TextFont();
        for (QWidget* w : {static_cast<QWidget*>(TitleLbl), static_cast<QWidget*>(Memo1),
                           static_cast<QWidget*>(PickList1), static_cast<QWidget*>(MsgMemo),
                           static_cast<QWidget*>(OneLineEdit), static_cast<QWidget*>(DateEdit)})
            w->setFont(font);
    }
    TitleLbl->setMinimumHeight(TitleLbl->fontMetrics().lineSpacing() * 2 + 4);
    int columns = 1;
    if (!iniPath_.isEmpty()) {
        const TIniFile ini(iniPath_);
        columns = ini.ReadInteger(kSection, QStringLiteral("Columns"), 1);
        if (columns < 1 || columns > 10) columns = 1;
    }
    ColumnsEdit->setValue(columns);
    PickList1->SetColumns(columns);
    if (!inputBox_) WindowPlacement::Restore(this, iniPath_, kSection);
    if (inputBox_) {
        setWindowTitle(tr("Brevix Input Box"));
        NextBtn->setText(tr("&OK"));
        BackBtn->setText(tr("Cancel"));
        BackBtn->setEnabled(true);
        // The spelling check is offered with the memo box only.
        for (QPushButton* b : {RestartBtn, PreviewBtn, SaveSessionBtn, RestoreSessionBtn, CancelBtn,
                               HelpBtn, SpellBtn})
            b->hide();
        setWindowModality(Qt::ApplicationModal);
    }
}

TInputFieldForm::~TInputFieldForm() {
    if (inputBox_ || iniPath_.isEmpty()) return;
    WindowPlacement::Save(this, iniPath_, kSection);
    TIniFile ini(iniPath_);
    ini.WriteInteger(kSection, QStringLiteral("Columns"), ColumnsEdit->value());
    if (!ini.UpdateFile()) qWarning("Column count not saved: %s", qPrintable(ini.ErrorString()));
}

void TInputFieldForm::BuildControls() {
    TitleLbl = new QLabel(this);
    TitleLbl->setObjectName(QStringLiteral("TitleLbl"));
    TitleLbl->setWordWrap(true);
    TitleLbl->setTextFormat(Qt::PlainText);
    Notebook1 = new QStackedWidget(this);

    // FreeForm
    FreeFormPage = new QWidget(Notebook1);
    FreeFormPage->setObjectName(QStringLiteral("FreeForm"));
    Memo1 = new QPlainTextEdit(FreeFormPage);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->installEventFilter(this);
    CutBtn = Button(tr("Cu&t"), FreeFormPage, QStringLiteral("CutBtn"));
    CopyBtn = Button(tr("Cop&y"), FreeFormPage, QStringLiteral("CopyBtn"));
    PasteBtn = Button(tr("&Paste"), FreeFormPage, QStringLiteral("PasteBtn"));
    SelectAllBtn = Button(tr("Select &All"), FreeFormPage, QStringLiteral("SelectAllBtn"));
    UndoBtn = Button(tr("&Undo"), FreeFormPage, QStringLiteral("UndoBtn"));
    auto* freeHint = new QLabel(tr("Ctrl+Enter = new line; Ctrl+Tab = tab"), FreeFormPage);
    freeHint->setObjectName(QStringLiteral("FreeFormHintLbl"));
    {
        auto* row = new QHBoxLayout;
        for (QPushButton* b : {CutBtn, CopyBtn, PasteBtn, SelectAllBtn, UndoBtn})
            row->addWidget(b);
        row->addStretch();
        auto* l = new QVBoxLayout(FreeFormPage);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(Memo1, 1);
        l->addLayout(row);
        l->addWidget(freeHint);
    }
    connect(CutBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::cut);
    connect(CopyBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::copy);
    connect(PasteBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::paste);
    connect(SelectAllBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::selectAll);
    connect(UndoBtn, &QPushButton::clicked, Memo1, &QPlainTextEdit::undo);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TInputFieldForm::UpdateButtons);
    connect(Memo1, &QPlainTextEdit::selectionChanged, this, &TInputFieldForm::UpdateButtons);
    connect(Memo1, &QPlainTextEdit::undoAvailable, this, &TInputFieldForm::UpdateButtons);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TInputFieldForm::UpdateButtons);

    // PickList
    PickListPage = new QWidget(Notebook1);
    PickListPage->setObjectName(QStringLiteral("PickList"));
    PickList1 = new TPickList(PickListPage);
    PickList1->setObjectName(QStringLiteral("PickList1"));
    SearchEdit = new QLineEdit(PickListPage);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(tr("Type to search"));
    SearchEdit->installEventFilter(this);
    ColumnsEdit = new QSpinBox(PickListPage);
    ColumnsEdit->setObjectName(QStringLiteral("ColumnsEdit"));
    ColumnsEdit->setRange(1, 10);
    PickAllBtn = Button(tr("Select &All"), PickListPage, QStringLiteral("PickAllBtn"));
    ClearBtn = Button(tr("&Clear"), PickListPage, QStringLiteral("ClearBtn"));
    StatusLbl = new QLabel(PickListPage);
    StatusLbl->setObjectName(QStringLiteral("StatusLbl"));
    StatusLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    {
        auto* searchLbl = new QLabel(tr("&Search:"), PickListPage);
        searchLbl->setBuddy(SearchEdit);
        auto* colsLbl = new QLabel(tr("Colu&mns:"), PickListPage);
        colsLbl->setBuddy(ColumnsEdit);
        auto* top = new QHBoxLayout;
        top->addWidget(searchLbl);
        top->addWidget(SearchEdit, 1);
        top->addWidget(colsLbl);
        top->addWidget(ColumnsEdit);
        auto* bottom = new QHBoxLayout;
        bottom->addWidget(PickAllBtn);
        bottom->addWidget(ClearBtn);
        bottom->addWidget(StatusLbl, 1);
        auto* l = new QVBoxLayout(PickListPage);
        l->setContentsMargins(0, 0, 0, 0);
        l->addLayout(top);
        l->addWidget(PickList1, 1);
        l->addLayout(bottom);
    }
    connect(PickList1, &QListWidget::itemSelectionChanged, this,
            &TInputFieldForm::UpdatePickStatus);
    connect(PickList1, &QListWidget::currentRowChanged, this, &TInputFieldForm::UpdatePickStatus);
    connect(PickAllBtn, &QPushButton::clicked, this, [this] {
        PickList1->ChooseAll();
        UpdatePickStatus();
    });
    connect(ClearBtn, &QPushButton::clicked, this, [this] {
        PickList1->clearSelection();
        UpdatePickStatus();
    });
    connect(SearchEdit, &QLineEdit::textChanged, this, &TInputFieldForm::SearchEditChanged);
    connect(ColumnsEdit, &QSpinBox::valueChanged, PickList1, &TPickList::SetColumns);

    // Date
    DatePage = new QWidget(Notebook1);
    DatePage->setObjectName(QStringLiteral("Date"));
    DateEdit = new TDateEdit(DatePage);
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    CalendarBtn = Button(tr("Ca&lendar..."), DatePage, QStringLiteral("CalendarBtn"));
    LongDateRadio = new QRadioButton(DatePage);
    LongDateRadio->setObjectName(QStringLiteral("LongDateRadio"));
    ShortDateRadio = new QRadioButton(DatePage);
    ShortDateRadio->setObjectName(QStringLiteral("ShortDateRadio"));
    {
        auto* dateRow = new QHBoxLayout;
        dateRow->addWidget(DateEdit, 1);
        dateRow->addWidget(CalendarBtn);
        auto* keys = new QLabel(tr("+,--  change day;  T  Today") + QLatin1Char('\n') +
                                    tr("M,H  first, end of MontH") + QLatin1Char('\n') +
                                    tr("Y,R  first, end of YeaR"),
                                DatePage);
        keys->setObjectName(QStringLiteral("DateKeysLbl"));
        auto* l = new QVBoxLayout(DatePage);
        l->setContentsMargins(0, 0, 0, 0);
        l->addLayout(dateRow);
        l->addWidget(LongDateRadio);
        l->addWidget(ShortDateRadio);
        l->addWidget(keys);
        l->addStretch();
    }
    connect(CalendarBtn, &QPushButton::clicked, DateEdit, &TDateEdit::ShowCalendar);
    connect(DateEdit, &TDateEdit::DateChanged, this, &TInputFieldForm::ShowDateChoices);
    connect(DateEdit, &TDateEdit::EnterPressed, this, [this] {
        if (NextBtn->isEnabled()) NextBtn->click();
    });

    // Error
    ErrorPage = new QWidget(Notebook1);
    ErrorPage->setObjectName(QStringLiteral("Error"));
    MsgMemo = new QPlainTextEdit(ErrorPage);
    MsgMemo->setObjectName(QStringLiteral("MsgMemo"));
    MsgMemo->setReadOnly(true);
    (new QVBoxLayout(ErrorPage))->addWidget(MsgMemo);
    ErrorPage->layout()->setContentsMargins(0, 0, 0, 0);

    // OneLine
    OneLinePage = new QWidget(Notebook1);
    OneLinePage->setObjectName(QStringLiteral("OneLine"));
    OneLineEdit = new QLineEdit(OneLinePage);
    OneLineEdit->setObjectName(QStringLiteral("OneLineEdit"));
    {
        auto* l = new QVBoxLayout(OneLinePage);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(OneLineEdit);
        l->addStretch();
    }

    for (QWidget* page : {FreeFormPage, PickListPage, DatePage, ErrorPage, OneLinePage})
        Notebook1->addWidget(page);

    CancelBtn = Button(tr("Cancel"), this, QStringLiteral("CancelBtn"));
    HelpBtn = Button(tr("Help"), this, QStringLiteral("HelpBtn"));
    NextBtn = Button(tr("&Next"), this, QStringLiteral("NextBtn"));
    NextBtn->setDefault(true);
    BackBtn = Button(tr("&Back"), this, QStringLiteral("BackBtn"));
    RestartBtn = Button(tr("&Restart"), this, QStringLiteral("RestartBtn"));
    PreviewBtn = Button(tr("Pre&view"), this, QStringLiteral("PreviewBtn"));
    SpellBtn = Button(tr("Spell Chec&k"), this, QStringLiteral("SpellBtn"));
    SpellBtn->setToolTip(tr("Check the spelling of the answer"));
    SaveSessionBtn = Button(tr("Save Session"), this, QStringLiteral("SaveSessionBtn"));
    RestoreSessionBtn = Button(tr("Restore Session"), this, QStringLiteral("RestoreSessionBtn"));
    {
        auto* row1 = new QHBoxLayout;
        for (QPushButton* b : {BackBtn, NextBtn, CancelBtn, HelpBtn})
            row1->addWidget(b);
        row1->insertStretch(0);
        auto* row2 = new QHBoxLayout;
        for (QPushButton* b : {RestartBtn, PreviewBtn, SpellBtn, SaveSessionBtn, RestoreSessionBtn})
            row2->addWidget(b);
        row2->addStretch();
        auto* l = new QVBoxLayout(this);
        l->addWidget(TitleLbl);
        l->addWidget(Notebook1, 1);
        l->addLayout(row2);
        l->addLayout(row1);
    }
    connect(NextBtn, &QPushButton::clicked, this, [this] {
        // The date box takes its text first; an invalid date stays.
        if (Notebook1->currentWidget() == DatePage && !DateEdit->CheckText()) return;
        Decide(nav::Next);
    });
    connect(BackBtn, &QPushButton::clicked, this,
            [this] { Decide(inputBox_ ? nav::Cancel : nav::Back); });
    connect(CancelBtn, &QPushButton::clicked, this, &TInputFieldForm::CancelBtnClick);
    connect(RestartBtn, &QPushButton::clicked, this, [this] { Decide(nav::Restart); });
    connect(PreviewBtn, &QPushButton::clicked, this, [this] { Decide(nav::Preview); });
    connect(SaveSessionBtn, &QPushButton::clicked, this, [this] { Decide(nav::SaveSession); });
    connect(RestoreSessionBtn, &QPushButton::clicked, this,
            [this] { Decide(nav::RestoreSession); });
    connect(SpellBtn, &QPushButton::clicked, this, [this] {
        SpellCheckText(Memo1);
        Memo1->setFocus();
    });
    connect(HelpBtn, &QPushButton::clicked, this, [this] { InputHelp::Open(this, host_); });

    setTabOrder(TitleLbl, Notebook1);
    setTabOrder(Memo1, CutBtn);
    setTabOrder(UndoBtn, NextBtn);
    setTabOrder(SearchEdit, PickList1);
    setTabOrder(PickList1, PickAllBtn);
    setTabOrder(PickAllBtn, ClearBtn);
    setTabOrder(ClearBtn, ColumnsEdit);
    setTabOrder(NextBtn, BackBtn);
    setTabOrder(BackBtn, CancelBtn);
}

void TInputFieldForm::Begin(const QString& caption, const QString& prompt, int number,
                            QWidget* page, QWidget* focus, const char* topic) {
    if (host_) host_->BringToFront();
    InputHelp::SetTopic(this, inputBox_ ? "inputbox" : topic);
    number_ = number;
    if (!inputBox_) {
        BackBtn->setEnabled(number >= 2);
        RestartBtn->setEnabled(number >= 2);
    }
    setWindowTitle(caption);
    TitleLbl->setText(prompt.trimmed());
    result_ = nav::Undecided;
    if (host_ && !inputBox_) host_->SetInputFormMode(true);
    Notebook1->setCurrentWidget(page);
    SpellBtn->setEnabled(page == FreeFormPage);
    UpdateButtons();
    show();
    raise();
    activateWindow();
    if (focus) focus->setFocus();
}

void TInputFieldForm::RunOnShow(const QString& script) {
    const QString s = script.trimmed();
    TInputScripts* tcl = host_ ? host_->Scripts() : nullptr;
    if (s.isEmpty() || !tcl) return;
    if (!tcl->Eval(Ansi::FromUnicode(s)))
        TMessageBox::Error(this, QStringLiteral("Tcl Error"), Ansi::ToUnicode(tcl->FailureText()));
}

int TInputFieldForm::WantedFSM() const {
    return Notebook1->currentWidget() == FreeFormPage && !inputBox_ ? 1 : 3;
}

TInputFieldForm* TInputFieldForm::Showing() {
    for (QWidget* w : {QApplication::activeWindow(), QApplication::activeModalWidget()})
        if (auto* form = qobject_cast<TInputFieldForm*>(w); form && form->isVisible()) return form;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TInputFieldForm*>(w); form && form->isVisible()) return form;
    return nullptr;
}

TInputFieldForm* TInputFieldForm::Existing() {
    if (TInputFieldForm* form = Showing()) return form;
    TInputFieldForm* hidden = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TInputFieldForm*>(w)) {
            if (form->result_ == nav::Undecided) return form;
            if (!hidden) hidden = form;
        }
    return hidden;
}

int TInputFieldForm::Wait() {
    if (host_) host_->SetFSM(WantedFSM());
    emit WaitStarted();
    QPointer<TInputFieldForm> self(this);
    while (self && result_ == nav::Undecided && !(host_ && host_->Closing())) {
        QEventLoop loop;
        QTimer poll;
        // Wakes now and then to notice the program closing.
        connect(&poll, &QTimer::timeout, &loop, &QEventLoop::quit);
        poll.start(100);
        loop.exec();
    }
    return self ? result_ : nav::Undecided;
}

void TInputFieldForm::Decide(int code) {
    result_ = code;
}

void TInputFieldForm::CancelBtnClick() {
    if (TMessageBox::Ask(this, QStringLiteral("Brevix"), kCancelQuestion) == QMessageBox::Yes)
        Decide(nav::Cancel);
}

void TInputFieldForm::closeEvent(QCloseEvent* event) {
    // The title bar's close is the Cancel button.
    event->ignore();
    if (inputBox_)
        Decide(nav::Cancel);
    else if (result_ == nav::Undecided && isVisible())
        CancelBtnClick();
}

void TInputFieldForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (inputBox_)
            Decide(nav::Cancel);
        else
            CancelBtnClick();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && NextBtn->isEnabled()) {
        NextBtn->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TInputFieldForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (watched == Memo1) {
        if (enter && !wantReturns_ && !boxMemo_) {
            if (ctrl)
                Memo1->insertPlainText(QStringLiteral("\n"));
            else if (NextBtn->isEnabled())
                NextBtn->click();
            return true;
        }
        if (key->key() == Qt::Key_Tab && ctrl) {
            Memo1->insertPlainText(QStringLiteral("\t"));
            return true;
        }
        if (key->key() == Qt::Key_Tab && !boxMemo_) {
            focusNextChild();
            return true;
        }
    } else if (watched == SearchEdit) {
        const int row = PickList1->currentRow();
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) {
            const int next =
                qBound(0, row + (key->key() == Qt::Key_Down ? 1 : -1), PickList1->count() - 1);
            if (PickList1->Multiple())
                PickList1->setCurrentRow(next, QItemSelectionModel::NoUpdate);
            else if (!PickList1->IsHeader(next))
                PickList1->setCurrentRow(next);
            else
                PickList1->setCurrentRow(next, QItemSelectionModel::NoUpdate);
            UpdatePickStatus();
            return true;
        }
        if (key->key() == Qt::Key_Space && !(key->modifiers() & Qt::ShiftModifier)) {
            if (row >= 0 && !PickList1->IsHeader(row)) {
                if (PickList1->Multiple())
                    PickList1->Choose(row, !PickList1->item(row)->isSelected());
                else
                    PickList1->setCurrentRow(row);
            }
            UpdatePickStatus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TInputFieldForm::UpdateButtons() {
    if (Notebook1->currentWidget() != FreeFormPage) return;
    const bool selected = Memo1->textCursor().hasSelection();
    CutBtn->setEnabled(selected);
    CopyBtn->setEnabled(selected);
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    PasteBtn->setEnabled(clip && clip->hasText());
    UndoBtn->setEnabled(Memo1->document()->isUndoAvailable());
    NextBtn->setEnabled(boxMemo_ || !Memo1->document()->isEmpty());
}

void TInputFieldForm::UpdatePickStatus() {
    if (Notebook1->currentWidget() != PickListPage) return;
    // Headers never stay chosen.
    for (int i = 0; i < PickList1->count(); ++i)
        if (PickList1->IsHeader(i) && PickList1->item(i)->isSelected())
            PickList1->item(i)->setSelected(false);
    if (PickList1->Multiple()) {
        const int n = static_cast<int>(PickList1->Chosen().size());
        StatusLbl->setText(QStringLiteral("%1 %2 selected  ")
                               .arg(n)
                               .arg(n == 1 ? QStringLiteral("item") : QStringLiteral("items")));
        // An input box leaves judging an empty choice to its caller.
        NextBtn->setEnabled(n > 0 || inputBox_);
    } else {
        StatusLbl->clear();
        const int row = PickList1->currentRow();
        NextBtn->setEnabled((row >= 0 && !PickList1->IsHeader(row)) || inputBox_);
    }
}

void TInputFieldForm::SearchEditChanged() {
    const int row = PickList1->FindPrefix(SearchEdit->text().trimmed());
    if (row < 0) return;
    if (PickList1->Multiple() || PickList1->IsHeader(row))
        PickList1->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    else
        PickList1->setCurrentRow(row);
    PickList1->scrollToItem(PickList1->item(row));
    UpdatePickStatus();
}

void TInputFieldForm::ShowDateChoices() {
    const QDate d = DateEdit->Date();
    LongDateRadio->setText(QStringLiteral("&1. ") + FormatInputDate(d, true, QLocale::system()));
    ShortDateRadio->setText(QStringLiteral("&2. ") + FormatInputDate(d, false, QLocale::system()));
}

bool TInputFieldForm::FreeFormShowing() const {
    return isVisible() && Notebook1->currentWidget() == FreeFormPage;
}

void TInputFieldForm::InsertText(const QString& text) {
    Memo1->document()->clearUndoRedoStacks();
    Memo1->insertPlainText(text);
    Memo1->setFocus();
}

int TInputFieldForm::AskText(const QString& caption, const TInputField& field, QByteArray& value,
                             int number) {
    wantReturns_ = field.WantReturns;
    boxMemo_ = false;
    QString start = ValueText(value);
    // Input tags in the previous answer are not asked for here: they stand
    // as placeholders and come back with the answer.
    TKeptTags kept;
    HideInputTags(start, number + 1, kept);
    Memo1->setPlainText(start);
    Memo1->document()->clearUndoRedoStacks();
    Memo1->selectAll();
    Begin(caption, field.Prompt, number, FreeFormPage, Memo1, "text");
    RunOnShow(field.OnShow);
    const int code = Wait();
    QString answer = Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    RestoreInputTags(answer, kept);
    value = TextValue(answer);
    return code;
}

int TInputFieldForm::AskPickList(const QString& caption, const TInputField& field, int number,
                                 QByteArray& value) {
    const QList<TPickItem> items = PickItems(field);
    PickList1->blockSignals(true);
    PickList1->clear();
    PickList1->SetMultiple(!field.Single);
    PickList1->SetBoldHeaders(field.GroupBold);
    for (const TPickItem& item : items)
        PickList1->AddItem(item.Shown, item.Header);
    PickList1->SetColumns(ColumnsEdit->value());
    const QList<int> previous = PickListIndexes(value, static_cast<int>(items.size()));
    if (field.Single) {
        int row = previous.isEmpty() ? -1 : previous.first();
        if (row <= 0 || PickList1->IsHeader(row)) {
            if (row < 0 || PickList1->IsHeader(qMax(row, 0))) row = 0;
            while (row < PickList1->count() && PickList1->IsHeader(row))
                ++row;
        }
        if (row < PickList1->count()) PickList1->setCurrentRow(row);
    } else {
        for (int i : previous)
            PickList1->Choose(i, true);
        PickList1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    PickList1->blockSignals(false);
    PickAllBtn->setEnabled(!field.Single);
    ClearBtn->setEnabled(!field.Single);
    SearchEdit->clear();
    Begin(caption, field.Prompt, number, PickListPage, SearchEdit, "picklist");
    UpdatePickStatus();
    RunOnShow(field.OnShow);
    const int code = Wait();
    QList<int> chosen;
    if (field.Single) {
        if (const int row = PickList1->currentRow(); row >= 0 && !PickList1->IsHeader(row))
            chosen.append(row);
    } else {
        chosen = PickList1->Chosen();
    }
    value = PickListValue(items, field, chosen);
    return code;
}

int TInputFieldForm::AskDate(const QString& caption, const TInputField& field, QByteArray& value,
                             int number) {
    QDate date = QDate::currentDate();
    bool isLong = field.Long;
    ReadDateValue(value, date, isLong);
    DateEdit->SetDate(date);
    ShowDateChoices();
    (isLong ? LongDateRadio : ShortDateRadio)->setChecked(true);
    LongDateRadio->show();
    ShortDateRadio->show();
    Begin(caption, field.Prompt, number, DatePage, DateEdit, "date");
    NextBtn->setEnabled(true);
    DateEdit->selectAll();
    RunOnShow(field.OnShow);
    const int code = Wait();
    value = DateValue(DateEdit->Date(), LongDateRadio->isChecked(), QLocale::system());
    return code;
}

int TInputFieldForm::ReadFile(const QString& caption, const TInputField& field, QByteArray& value,
                              int number) {
    hide();
    RunOnShow(field.OnShow);
    QString name = field.Prompt.trimmed();
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    const QString path = InputFilePath(name, host_ ? host_->DictionaryFolder() : QString());
    QFile file;
    QString why;
    if (!path.isEmpty() && SafeFile::OpenForReading(path, file, &why) &&
        file.size() <= kMaxInputFile) {
        const QByteArray text = FileText(file.read(kMaxInputFile));
        if (file.error() == QFile::NoError) {
            Memo1->setPlainText(Ansi::ToUnicode(text));
            value = text + QByteArray(1, '\0');
            return nav::Next;
        }
    }
    Memo1->clear();
    value = QByteArray(1, '\0');
    return ShowFieldMessage(caption, QStringLiteral("ERROR!"), number, InputFileError(name));
}

int TInputFieldForm::RunTcl(const QString& caption, const QString& script, int number,
                            QByteArray& value) {
    setWindowTitle(caption);
    number_ = number;
    const QString s = script.trimmed();
    value = QByteArray(1, '\0');
    if (s.isEmpty()) return nav::Next;
    TInputScripts* tcl = host_ ? host_->Scripts() : nullptr;
    if (!tcl)
        return ShowFieldMessage(caption, QStringLiteral("@INPUTTCL ERROR!"), number,
                                tr("Tcl scripts cannot run: the Tcl library is not loaded."));
    if (!tcl->Eval(Ansi::FromUnicode(s)))
        return ShowFieldMessage(caption, QStringLiteral("@INPUTTCL ERROR!"), number,
                                Ansi::ToUnicode(tcl->FailureText()));
    const QByteArray result = tcl->GetResult();
    const int code = TclResultCode(result);
    if (code == nav::Cancel)
        return TMessageBox::Ask(this, QStringLiteral("Brevix"), kCancelQuestion) == QMessageBox::Yes
                   ? nav::Cancel
                   : nav::Next;
    if (code == nav::Next) value = result + QByteArray(1, '\0');
    return code;
}

int TInputFieldForm::ShowFieldMessage(const QString& caption, const QString& title, int number,
                                      const QString& message) {
    MsgMemo->setPlainText(message);
    const bool error = title == QLatin1String("ERROR!");
    // The page also reports a file that could not be read and a failed script.
    const char* topic = error                                        ? "file"
                        : title == QLatin1String("@INPUTTCL ERROR!") ? "tcl"
                                                                     : "message";
    Begin(caption, title, number, ErrorPage, nullptr, topic);
    NextBtn->setEnabled(true);
    if (error) {
        CancelBtn->setFocus();
        QApplication::beep();
    } else {
        NextBtn->setFocus();
    }
    return Wait();
}

int TInputFieldForm::BoxWait() {
    const int code = Wait();
    hide();
    return code;
}

bool TInputFieldForm::BoxLine(QString& text, const QString& prompt) {
    OneLineEdit->setText(text);
    OneLineEdit->selectAll();
    Begin(windowTitle(), prompt, 1, OneLinePage, OneLineEdit, "inputbox");
    NextBtn->setEnabled(true);
    if (BoxWait() != nav::Next) return false;
    text = OneLineEdit->text();
    return true;
}

bool TInputFieldForm::BoxMemo(QString& text, const QString& prompt, bool spell) {
    boxMemo_ = true;
    Memo1->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Begin(windowTitle(), prompt, 1, FreeFormPage, Memo1, "inputbox");
    SpellBtn->show();
    if (spell) QTimer::singleShot(0, SpellBtn, &QPushButton::click);
    if (BoxWait() != nav::Next) return false;
    text = Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return true;
}

bool TInputFieldForm::BoxMessage(const QString& text, const QString& prompt) {
    MsgMemo->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Begin(windowTitle(), prompt, 1, ErrorPage, NextBtn, "inputbox");
    NextBtn->setEnabled(true);
    return BoxWait() == nav::Next;
}

bool TInputFieldForm::BoxDate(QDate& date, const QString& prompt) {
    DateEdit->SetDate(date.isValid() ? date : QDate::currentDate());
    LongDateRadio->hide();
    ShortDateRadio->hide();
    Begin(windowTitle(), prompt, 1, DatePage, DateEdit, "inputbox");
    NextBtn->setEnabled(true);
    if (BoxWait() != nav::Next) return false;
    date = DateEdit->Date();
    return true;
}

bool TInputFieldForm::BoxPickList(QList<int>& chosen, const QStringList& items,
                                  const QString& prompt, bool multiple) {
    PickList1->blockSignals(true);
    PickList1->clear();
    PickList1->SetMultiple(multiple);
    for (const QString& item : items)
        PickList1->AddItem(item, false);
    PickList1->SetColumns(ColumnsEdit->value());
    if (multiple) {
        for (int i : chosen)
            PickList1->Choose(i, true);
        PickList1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    } else if (!chosen.isEmpty() && chosen.first() >= 0 && chosen.first() < items.size()) {
        PickList1->setCurrentRow(chosen.first());
    }
    PickList1->blockSignals(false);
    PickAllBtn->setEnabled(multiple);
    ClearBtn->setEnabled(multiple);
    Begin(windowTitle(), prompt, 1, PickListPage, SearchEdit, "inputbox");
    UpdatePickStatus();
    if (BoxWait() != nav::Next) return false;
    if (multiple) {
        chosen = PickList1->Chosen();
    } else {
        chosen.clear();
        if (const int row = PickList1->currentRow(); row >= 0 && PickList1->item(row)->isSelected())
            chosen.append(row);
    }
    return true;
}
