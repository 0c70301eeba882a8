#include "tags/gui/DictionaryEditDlg.h"

#include "dictionary/DictItem.h"
#include "dictionary/EntryEditOptions.h"
#include "platform/Ansi.h"
#include "platform/IniFile.h"
#include "platform/Keycodes.h"
#include "platform/MessageBox.h"
#include "tags/EditorText.h"
#include "tags/gui/TagsMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {
constexpr int kMaxKeyword = 32;
const QString kSection = QStringLiteral("DictEdit");

QString FromEntry(const QByteArray& text) {
    return Ansi::ToUnicode(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QByteArray ToEntry(QString text) {
    return Ansi::FromUnicode(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A box the user may not change looks like the dialog around it and says nothing.
void MakeReadOnly(QWidget* box) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    box->setPalette(p);
    box->setToolTip(QString());
}
} // namespace

TDictionaryEditDlg::TDictionaryEditDlg(const TEditorServices& services, QWidget* parent)
    : TPlacedDialog(kSection, services.IniPath, parent), services_(services) {
    setWindowTitle(tr("Dictionary Text"));
    setMinimumSize(470, 290);
    setSizeGripEnabled(true);

    KeywordEdit = new QLineEdit(this);
    KeywordEdit->setObjectName(QStringLiteral("KeywordEdit"));
    KeywordEdit->setMaxLength(kMaxKeyword);
    KeywordEdit->setToolTip(tr("The word that expands into the text (at most 32 characters)"));
    auto* keywordLbl = new QLabel(tr("&Keyword"), this);
    keywordLbl->setBuddy(KeywordEdit);

    TextMemo = new QPlainTextEdit(this);
    TextMemo->setObjectName(QStringLiteral("TextMemo"));
    TextMemo->setFont(services.TextFont);
    TextMemo->setToolTip(tr("The text to type; {Tags} writes keys, pauses, dates and fields"));
    TextMemo->installEventFilter(this);
    auto* textLbl = new QLabel(tr("Te&xt To Type"), this);
    textLbl->setBuddy(TextMemo);
    LinesLbl = new QLabel(this);
    LinesLbl->setObjectName(QStringLiteral("LinesLbl"));
    OptionsLbl = new QLabel(QStringLiteral("<a href=\"#\">[Options]</a>"), this);
    OptionsLbl->setObjectName(QStringLiteral("OptionsLbl"));
    OptionsLbl->setTextInteractionFlags(Qt::LinksAccessibleByMouse);

    ShortcutEdit = new QLineEdit(this);
    ShortcutEdit->setObjectName(QStringLiteral("ShortcutEdit"));
    ShortcutEdit->setReadOnly(true);
    ShortcutEdit->setFocusPolicy(Qt::NoFocus);
    MakeReadOnly(ShortcutEdit);
    ShortcutBtn = Button(tr("&Shortcut"), "ShortcutBtn", this);

    ButtonPnl = new QWidget(this);
    ButtonPnl->setObjectName(QStringLiteral("ButtonPnl"));
    TagsBtn = Button(tr("{Ta&gs}"), "TagsBtn", ButtonPnl);
    CutBtn = Button(tr("Cu&t"), "CutBtn", ButtonPnl);
    CopyBtn = Button(tr("Cop&y"), "CopyBtn", ButtonPnl);
    PasteBtn = Button(tr("&Paste"), "PasteBtn", ButtonPnl);
    SelectAllBtn = Button(tr("Select &All"), "SelectAllBtn", ButtonPnl);
    UndoBtn = Button(tr("&Undo"), "UndoBtn", ButtonPnl);
    auto* buttonRow = new QHBoxLayout(ButtonPnl);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : {TagsBtn, CutBtn, CopyBtn, PasteBtn, SelectAllBtn, UndoBtn})
        buttonRow->addWidget(b);
    buttonRow->addStretch(1);

    DescEdit = new QLineEdit(this);
    DescEdit->setObjectName(QStringLiteral("DescEdit"));
    DescEdit->setMaxLength(255);
    auto* descLbl = new QLabel(tr("&Description"), this);
    descLbl->setBuddy(DescEdit);

    OKBtn = Button(tr("&OK"), "OKBtn", this);
    OKBtn->setDefault(true);
    CancelBtn = Button(tr("Cancel"), "CancelBtn", this);
    HelpBtn = Button(tr("Help"), "HelpBtn", this);
    SpellBtn = Button(tr("Spel&l Check"), "SpellBtn", this);
    SpellBtn->setEnabled(static_cast<bool>(services.SpellCheck));
    RecordBtn = Button(tr("&Record"), "RecordBtn", this);
    RecordBtn->setEnabled(static_cast<bool>(services.Record));

    auto* top = new QGridLayout;
    top->addWidget(keywordLbl, 0, 0);
    top->addWidget(KeywordEdit, 0, 1);
    top->addWidget(ShortcutEdit, 0, 3);
    top->addWidget(ShortcutBtn, 0, 4);
    top->setColumnStretch(1, 2);
    top->setColumnMinimumWidth(2, 12);
    top->setColumnStretch(3, 1);
    auto* textHead = new QHBoxLayout;
    textHead->addWidget(textLbl);
    textHead->addStretch(1);
    textHead->addWidget(LinesLbl);
    textHead->addSpacing(8);
    textHead->addWidget(OptionsLbl);
    auto* desc = new QHBoxLayout;
    desc->addWidget(descLbl);
    desc->addWidget(DescEdit, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(SpellBtn);
    bottom->addWidget(RecordBtn);
    bottom->addStretch(1);
    bottom->addWidget(OKBtn);
    bottom->addWidget(CancelBtn);
    bottom->addWidget(HelpBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(textHead);
    layout->addWidget(TextMemo, 1);
    layout->addWidget(ButtonPnl);
    layout->addLayout(desc);
    layout->addLayout(bottom);
    resize(620, 420);

    // Tab order as the user meets the controls.
    setTabOrder(KeywordEdit, ShortcutBtn);
    setTabOrder(ShortcutBtn, TextMemo);
    QWidget* last = TextMemo;
    for (QWidget* w : std::initializer_list<QWidget*>{TagsBtn, CutBtn, CopyBtn, PasteBtn,
                                                      SelectAllBtn, UndoBtn, DescEdit, OKBtn,
                                                      CancelBtn, HelpBtn, SpellBtn, RecordBtn}) {
        setTabOrder(last, w);
        last = w;
    }

    // The options, in their own menu and in the tags menu.
    OptionsMenu = new QMenu(this);
    OptionsMenu->setObjectName(QStringLiteral("OptionsMenu"));
    const auto option = [this](const QString& caption, const char* name,
                               bool TDictionaryEditDlg::*field) {
        QAction* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, field](bool on) {
            this->*field = on;
            ApplyOptions();
        });
        return a;
    };
    WordWrap1 = option(tr("Word Wrap"), "WordWrap1", &TDictionaryEditDlg::WordWrap);
    WantTabs1 = option(tr("[TAB] Key = Tab Character"), "WantTabs1", &TDictionaryEditDlg::WantTabs);
    WantReturns1 =
        option(tr("[ENTER] Key = New Line"), "WantReturns1", &TDictionaryEditDlg::WantReturns);
    DescTabStop1 = option(tr("Enable TabStop"), "DescTabStop1", &TDictionaryEditDlg::DescTabStop);
    OptionsMenu->addActions({WordWrap1, WantTabs1, WantReturns1});
    connect(OptionsLbl, &QLabel::linkActivated, this, [this] {
        OptionsMenu->popup(OptionsLbl->mapToGlobal(QPoint(0, OptionsLbl->height())));
    });

    TagsMenu = new TTagsMenu(TextMemo, services, false, this);
    TagsMenu->EditorOptions1->addActions({WordWrap1, WantTabs1, WantReturns1});
    TagsMenu->EditorOptions1->menuAction()->setVisible(true);
    connect(TagsBtn, &QPushButton::clicked, this,
            [this] { TagsMenu->popup(TagsBtn->mapToGlobal(QPoint(0, TagsBtn->height()))); });

    DescEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DescEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = DescEdit->createStandardContextMenu();
        menu->addSeparator();
        menu->addAction(DescTabStop1);
        menu->exec(DescEdit->mapToGlobal(at));
        delete menu;
    });

    connect(CutBtn, &QPushButton::clicked, TextMemo, &QPlainTextEdit::cut);
    connect(CopyBtn, &QPushButton::clicked, TextMemo, &QPlainTextEdit::copy);
    connect(PasteBtn, &QPushButton::clicked, TextMemo, &QPlainTextEdit::paste);
    connect(SelectAllBtn, &QPushButton::clicked, TextMemo, &QPlainTextEdit::selectAll);
    connect(UndoBtn, &QPushButton::clicked, TextMemo, &QPlainTextEdit::undo);
    CutBtn->setEnabled(false);
    CopyBtn->setEnabled(false);
    UndoBtn->setEnabled(false);
    connect(TextMemo, &QPlainTextEdit::copyAvailable, this, [this](bool on) {
        CutBtn->setEnabled(on && !TextMemo->isReadOnly());
        CopyBtn->setEnabled(on);
    });
    connect(TextMemo, &QPlainTextEdit::undoAvailable, UndoBtn, &QWidget::setEnabled);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TDictionaryEditDlg::UpdatePaste);
    UpdatePaste();

    connect(KeywordEdit, &QLineEdit::textEdited, this, &TDictionaryEditDlg::Changed);
    connect(DescEdit, &QLineEdit::textEdited, this, &TDictionaryEditDlg::Changed);
    connect(TextMemo, &QPlainTextEdit::textChanged, this, [this] {
        UpdateLines();
        if (!loading_) Changed();
    });
    connect(ShortcutBtn, &QPushButton::clicked, this, &TDictionaryEditDlg::ShortcutBtnClick);
    connect(RecordBtn, &QPushButton::clicked, this, &TDictionaryEditDlg::RecordBtnClick);
    connect(SpellBtn, &QPushButton::clicked, this, &TDictionaryEditDlg::SpellBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TDictionaryEditDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDictionaryEditDlg::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] {
        if (services_.ShowHelp) services_.ShowHelp();
    });
    HelpBtn->setEnabled(static_cast<bool>(services.ShowHelp));

    ShowMessage = [this](const QString& m) {
        TMessageBox::Error(this, QStringLiteral("Brevix"), m);
    };
    AskYes = [this](const QString& m) {
        return TMessageBox::Ask(this, QStringLiteral("Brevix"), m) == QMessageBox::Yes;
    };
    ReadSettings();
    ApplyOptions();
}

TDictionaryEditDlg::~TDictionaryEditDlg() {
    WriteSettings();
}

void TDictionaryEditDlg::ReadSettings() {
    if (services_.IniPath.isEmpty()) return;
    const TIniFile ini(services_.IniPath);
    WordWrap = ini.ReadBool(kSection, QStringLiteral("WordWrap"), true);
    WantTabs = ini.ReadBool(kSection, QStringLiteral("WantTabs"), false);
    WantReturns = ini.ReadBool(kSection, QStringLiteral("WantReturns"), true);
    DescTabStop = ini.ReadBool(kSection, QStringLiteral("DescTabStop"), true);
}

void TDictionaryEditDlg::WriteSettings() {
    if (services_.IniPath.isEmpty()) return;
    TIniFile ini(services_.IniPath);
    ini.WriteBool(kSection, QStringLiteral("WordWrap"), WordWrap);
    ini.WriteBool(kSection, QStringLiteral("WantTabs"), WantTabs);
    ini.WriteBool(kSection, QStringLiteral("WantReturns"), WantReturns);
    ini.WriteBool(kSection, QStringLiteral("DescTabStop"), DescTabStop);
    ini.UpdateFile();
}

void TDictionaryEditDlg::ApplyOptions() {
    WordWrap1->setChecked(WordWrap);
    WantTabs1->setChecked(WantTabs);
    WantReturns1->setChecked(WantReturns);
    DescTabStop1->setChecked(DescTabStop);
    TextMemo->setLineWrapMode(WordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    TextMemo->setTabChangesFocus(!WantTabs);
    DescEdit->setFocusPolicy(DescTabStop ? Qt::StrongFocus : Qt::ClickFocus);
    // Without new lines in the text, Enter is OK's.
    UpdateLines();
}

void TDictionaryEditDlg::UpdateLines() {
    LinesLbl->setText(WordWrap ? tr("Word Wrap Enabled")
                               : EditorText::LinesCaption(TextMemo->document()->blockCount()));
}

void TDictionaryEditDlg::UpdatePaste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    PasteBtn->setEnabled(!TextMemo->isReadOnly() && data && data->hasText());
}

void TDictionaryEditDlg::Changed() {
    changed_ = true;
    OKBtn->setEnabled(true);
}

void TDictionaryEditDlg::SetEntry(const TDictionaryItem& item, int options,
                                  const QString& captionWord) {
    options_ = (options & editopt::All) ? options | editopt::Keyword | editopt::Shortcut |
                                              editopt::Description | editopt::Text
                                        : options;
    setWindowTitle(tr("Dictionary Text") + QStringLiteral(" [") + captionWord + QLatin1Char(']'));
    loading_ = true;
    KeywordEdit->setText(Ansi::ToUnicode(item.GetKeyword()));
    DescEdit->setText(Ansi::ToUnicode(item.GetDescription()));
    TextMemo->setPlainText(FromEntry(item.GetText()));
    TextMemo->document()->clearUndoRedoStacks();
    loading_ = false;
    shortcut_ = item.GetShortcut();
    ShortcutEdit->setText(Ansi::ToUnicode(KeyCodeToText(shortcut_)));

    const bool keyword = options_ & editopt::Keyword, desc = options_ & editopt::Description,
               text = options_ & editopt::Text, restricted = options_ & editopt::Restricted;
    KeywordEdit->setReadOnly(!keyword);
    if (!keyword) MakeReadOnly(KeywordEdit);
    DescEdit->setReadOnly(!desc);
    if (!desc) MakeReadOnly(DescEdit);
    ShortcutBtn->setEnabled(options_ & editopt::Shortcut);
    TextMemo->setReadOnly(!text);
    if (!text || restricted) {
        TextMemo->setContextMenuPolicy(Qt::NoContextMenu);
        TextMemo->setToolTip(QString());
    }
    if (!text) MakeReadOnly(TextMemo);
    SpellBtn->setVisible(text);
    RecordBtn->setVisible(text);
    ButtonPnl->setVisible(text);
    TagsBtn->setVisible(!restricted);
    TagsBtn->setEnabled(!restricted);
    UpdatePaste();
    changed_ = false;
    OKBtn->setEnabled(options_ & editopt::OkEnabled);
    (keyword ? static_cast<QWidget*>(KeywordEdit) : TextMemo)->setFocus();
}

void TDictionaryEditDlg::GetEntry(TDictionaryItem& item) const {
    if (options_ & editopt::Description) item.SetDescription(Ansi::FromUnicode(DescEdit->text()));
    if (options_ & editopt::Keyword) item.SetKeyword(Ansi::FromUnicode(KeywordEdit->text()));
    if (options_ & editopt::Text) item.SetText(ToEntry(TextMemo->toPlainText()));
    if (options_ & editopt::Shortcut) item.SetShortcut(shortcut_);
}

void TDictionaryEditDlg::InsertText(const QString& text) {
    TagsMenu->InsertText(text);
}

void TDictionaryEditDlg::InsertTag(const QString& body) {
    TagsMenu->InsertTag(body);
}

void TDictionaryEditDlg::ShortcutBtnClick() {
    if (!services_.ShortcutDialog) return;
    uint16_t code = shortcut_;
    if (!services_.ShortcutDialog(code, this)) return;
    shortcut_ = code;
    ShortcutEdit->setText(Ansi::ToUnicode(KeyCodeToText(code)));
    Changed();
}

void TDictionaryEditDlg::RecordBtnClick() {
    if (!services_.Record) return;
    // Out of the way while keys are typed elsewhere; hiding would end the dialog.
    showMinimized();
    const QString recorded = services_.Record(this);
    showNormal();
    raise();
    activateWindow();
    if (recorded.isEmpty()) return;
    TextMemo->moveCursor(QTextCursor::End);
    InsertText(recorded);
}

void TDictionaryEditDlg::SpellBtnClick() {
    if (!services_.SpellCheck) return;
    const QString before = TextMemo->toPlainText();
    QString text = before;
    if (!services_.SpellCheck(this, text) || text == before) return;
    // Replaced as one step, so one Undo brings the old text back.
    QTextCursor c(TextMemo->document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(text);
    c.endEditBlock();
}

void TDictionaryEditDlg::OKBtnClick() {
    const QString keyword = KeywordEdit->text().trimmed().toLower();
    KeywordEdit->setText(keyword);
    if (keyword.isEmpty()) {
        ShowMessage(tr("Please enter a keyword"));
        KeywordEdit->setFocus();
        return;
    }
    if (TagsBtn->isVisibleTo(this)) {
        const QString text = TextMemo->toPlainText();
        const qsizetype brace = EditorText::UnbalancedBrace(text);
        if (brace >= 0) {
            QTextCursor c = TextMemo->textCursor();
            c.setPosition(static_cast<int>(brace));
            c.setPosition(static_cast<int>(brace) + 1, QTextCursor::KeepAnchor);
            TextMemo->setTextCursor(c);
            ShowMessage(tr("The text contains a left brace '{'  without a matching right brace "
                           "'}'.\n\nTip: Use the {@LEFTBRACE} and {@RIGHTBRACE} tags if you "
                           "need to insert unbalanced braces in the text."));
            TextMemo->setFocus();
            return;
        }
    }
    accept();
}

void TDictionaryEditDlg::reject() {
    if (changed_ && !AskYes(tr("Abandon changes.     \nAre you sure?"))) return;
    TPlacedDialog::reject();
}

bool TDictionaryEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TextMemo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && key->modifiers() == Qt::NoModifier && !WantReturns) {
            OKBtnClick();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return TPlacedDialog::eventFilter(watched, event);
}

bool EditDictionaryEntry(TDictionaryItem& item, int options, const QString& captionWord,
                         const TEditorServices& services, QWidget* parent,
                         const std::function<void(TDictionaryEditDlg*)>& prepare) {
    TDictionaryEditDlg dlg(services, parent);
    dlg.SetEntry(item, options, captionWord);
    bool closed = false;
    QObject::connect(&dlg, &QDialog::finished, &dlg, [&closed] { closed = true; });
    if (prepare) prepare(&dlg);
    const int result = closed ? dlg.result() : dlg.exec();
    if (result != QDialog::Accepted) return false;
    dlg.GetEntry(item);
    return true;
}
