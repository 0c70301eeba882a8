#include "tags/gui/SpellCheckDialog.h"

#include "platform/MessageBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Brevix");
constexpr qsizetype kContextRadius = 80;

bool SpellCheckDocument(QWidget* parent, QTextDocument* document) {
    QString text = document->toPlainText();
    QList<TSpellSession::TEdit> edits;
    if (!SpellCheckWith(TSpellChecker::Shared(), parent, text, &edits)) return false;
    if (edits.isEmpty()) return true;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const TSpellSession::TEdit& edit : edits) {
        cursor.setPosition(int(edit.Start));
        cursor.setPosition(int(edit.Start + edit.Length), QTextCursor::KeepAnchor);
        cursor.insertText(edit.Replacement);
    }
    cursor.endEditBlock();
    return true;
}
} // namespace

TSpellCheckDlg::TSpellCheckDlg(TSpellSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("SpellCheckDlg"));
    setWindowTitle(QStringLiteral("Spelling"));

    WordLbl = new QLabel(QStringLiteral("&Not in dictionary:"), this);
    ContextView = new QTextEdit(this);
    ContextView->setObjectName(QStringLiteral("ContextView"));
    ContextView->setReadOnly(true);
    ContextView->setAcceptRichText(false);
    ContextView->setTabChangesFocus(true);
    ContextView->setFixedHeight(ContextView->fontMetrics().lineSpacing() * 4 + 12);
    WordLbl->setBuddy(ContextView);

    auto* changeLbl = new QLabel(QStringLiteral("C&hange to:"), this);
    WordEdit = new QLineEdit(this);
    WordEdit->setObjectName(QStringLiteral("WordEdit"));
    changeLbl->setBuddy(WordEdit);

    auto* suggestionsLbl = new QLabel(QStringLiteral("&Suggestions:"), this);
    SuggestionList = new QListWidget(this);
    SuggestionList->setObjectName(QStringLiteral("SuggestionList"));
    suggestionsLbl->setBuddy(SuggestionList);

    const auto button = [this](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    IgnoreBtn = button(QStringLiteral("&Ignore"), "IgnoreBtn");
    IgnoreAllBtn = button(QStringLiteral("I&gnore All"), "IgnoreAllBtn");
    ChangeBtn = button(QStringLiteral("&Change"), "ChangeBtn");
    ChangeAllBtn = button(QStringLiteral("Change A&ll"), "ChangeAllBtn");
    AddBtn = button(QStringLiteral("&Add to List"), "AddBtn");
    AddBtn->setToolTip(QStringLiteral("Add the word to your personal word list"));
    CancelBtn = button(QStringLiteral("Cancel"), "CancelBtn");
    CancelBtn->setToolTip(QStringLiteral("Stop and keep the text as it was"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(WordLbl, 0, 0);
    grid->addWidget(ContextView, 1, 0);
    grid->addWidget(changeLbl, 2, 0);
    grid->addWidget(WordEdit, 3, 0);
    grid->addWidget(suggestionsLbl, 4, 0);
    grid->addWidget(SuggestionList, 5, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(WordLbl->sizeHint().height());
    for (QPushButton* b : {IgnoreBtn, IgnoreAllBtn, AddBtn})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QPushButton* b : {ChangeBtn, ChangeAllBtn})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 0, 1, 6, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);
    resize(480, 340);

    setTabOrder(ContextView, WordEdit);
    setTabOrder(WordEdit, SuggestionList);
    setTabOrder(SuggestionList, IgnoreBtn);
    setTabOrder(IgnoreBtn, IgnoreAllBtn);
    setTabOrder(IgnoreAllBtn, AddBtn);
    setTabOrder(AddBtn, ChangeBtn);
    setTabOrder(ChangeBtn, ChangeAllBtn);
    setTabOrder(ChangeAllBtn, CancelBtn);

    connect(IgnoreBtn, &QPushButton::clicked, this, &TSpellCheckDlg::IgnoreBtnClick);
    connect(IgnoreAllBtn, &QPushButton::clicked, this, &TSpellCheckDlg::IgnoreAllBtnClick);
    connect(ChangeBtn, &QPushButton::clicked, this, &TSpellCheckDlg::ChangeBtnClick);
    connect(ChangeAllBtn, &QPushButton::clicked, this, &TSpellCheckDlg::ChangeAllBtnClick);
    connect(AddBtn, &QPushButton::clicked, this, &TSpellCheckDlg::AddBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(SuggestionList, &QListWidget::currentRowChanged, this,
            &TSpellCheckDlg::SuggestionListCurrentRowChanged);
    connect(SuggestionList, &QListWidget::itemActivated, this, &TSpellCheckDlg::ChangeBtnClick);
    connect(WordEdit, &QLineEdit::textChanged, this, &TSpellCheckDlg::WordEditTextChanged);
    ShowCurrent();
}

void TSpellCheckDlg::ShowCurrent() {
    if (session_.Done()) {
        accept();
        return;
    }
    TTextSpan word;
    ContextView->setPlainText(session_.Context(kContextRadius, &word));
    QTextCursor cursor(ContextView->document());
    cursor.setPosition(int(word.Start));
    cursor.setPosition(int(word.End()), QTextCursor::KeepAnchor);
    QTextCharFormat mark;
    mark.setFontWeight(QFont::Bold);
    mark.setForeground(QColor(0xC0, 0, 0));
    mark.setFontUnderline(true);
    cursor.mergeCharFormat(mark);
    cursor.setPosition(int(word.Start));
    ContextView->setTextCursor(cursor);
    ContextView->ensureCursorVisible();

    const QStringList suggestions = session_.Suggestions();
    SuggestionList->blockSignals(true);
    SuggestionList->clear();
    if (suggestions.isEmpty()) {
        SuggestionList->addItem(QStringLiteral("(no suggestions)"));
        SuggestionList->item(0)->setFlags(Qt::NoItemFlags);
    } else {
        SuggestionList->addItems(suggestions);
        SuggestionList->setCurrentRow(0);
    }
    SuggestionList->blockSignals(false);
    WordEdit->setText(suggestions.isEmpty() ? session_.Word() : suggestions.first());
    WordEditTextChanged(WordEdit->text());
    // Enter takes the offered change; with nothing to offer it moves on.
    (suggestions.isEmpty() ? IgnoreBtn : ChangeBtn)->setDefault(true);
    (suggestions.isEmpty() ? ChangeBtn : IgnoreBtn)->setDefault(false);
    WordEdit->setFocus();
    WordEdit->selectAll();
}

void TSpellCheckDlg::WordEditTextChanged(const QString& text) {
    // A word typed by hand leaves no suggestion chosen, so any can be chosen again.
    if (QListWidgetItem* item = SuggestionList->currentItem(); item && item->text() != text) {
        const QSignalBlocker blocker(SuggestionList);
        SuggestionList->setCurrentRow(-1);
    }
    const bool differs = text != session_.Word();
    ChangeBtn->setEnabled(differs);
    ChangeAllBtn->setEnabled(differs);
}

void TSpellCheckDlg::SuggestionListCurrentRowChanged(int row) {
    if (QListWidgetItem* item = SuggestionList->item(row); item && item->flags() != Qt::NoItemFlags)
        WordEdit->setText(item->text());
}

void TSpellCheckDlg::IgnoreBtnClick() {
    session_.Ignore();
    ShowCurrent();
}

void TSpellCheckDlg::IgnoreAllBtnClick() {
    session_.IgnoreAll();
    ShowCurrent();
}

void TSpellCheckDlg::ChangeBtnClick() {
    if (!ChangeBtn->isEnabled()) return;
    session_.Change(WordEdit->text());
    ShowCurrent();
}

void TSpellCheckDlg::ChangeAllBtnClick() {
    if (!ChangeAllBtn->isEnabled()) return;
    session_.ChangeAll(WordEdit->text());
    ShowCurrent();
}

void TSpellCheckDlg::AddBtnClick() {
    QString error;
    if (!session_.Add(&error)) TMessageBox::Error(this, kCaption, error);
    ShowCurrent();
}

bool SpellCheckWith(TSpellChecker& checker, QWidget* parent, QString& text,
                    QList<TSpellSession::TEdit>* edits) {
    if (!checker.Available()) {
        TMessageBox::Error(parent, kCaption, checker.UnavailableReason());
        return false;
    }
    if (const QString problem = checker.TakeLoadProblem(); !problem.isEmpty())
        TMessageBox::Warn(parent, kCaption, problem);
    TSpellSession session(checker, text);
    const bool found = session.Next();
    if (found) {
        TSpellCheckDlg dialog(session, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    TMessageBox::Inform(parent, kCaption,
                        found ? QStringLiteral("The spelling check is complete.")
                              : QStringLiteral("No misspelt words were found."));
    text = session.Text();
    if (edits) *edits = session.Edits();
    return true;
}

bool SpellCheckText(QWidget* parent, QString& text) {
    return SpellCheckWith(TSpellChecker::Shared(), parent, text);
}

bool SpellCheckText(QPlainTextEdit* editor) {
    return SpellCheckDocument(editor, editor->document());
}

bool SpellCheckText(QTextEdit* editor) {
    return SpellCheckDocument(editor, editor->document());
}
