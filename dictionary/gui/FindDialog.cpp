#include "dictionary/gui/FindDialog.h"

#include "platform/Ansi.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {
// One byte per UTF-16 unit, so positions in the bytes are cursor positions.
QByteArray AnsiUnits(const QString& text) {
    QByteArray out(text.size(), '?');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            out[i] = '\n';
        else if (const unsigned char b = Ansi::CharFromUnicode(c))
            out[i] = static_cast<char>(b);
    }
    return out;
}
} // namespace

TXFindDialog::TXFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("XFindDialog1"));
    setWindowTitle(tr("Find"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(tr("Fi&nd what:"), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setMinimumWidth(260);
    label->setBuddy(FindEdit);
    WholeWordChk = new QCheckBox(tr("Match &whole word only"), this);
    WholeWordChk->setObjectName(QStringLiteral("WholeWordChk"));
    MatchCaseChk = new QCheckBox(tr("Match &case"), this);
    MatchCaseChk->setObjectName(QStringLiteral("MatchCaseChk"));

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    FindNextBtn = buttons->addButton(tr("&Find Next"), QDialogButtonBox::AcceptRole);
    FindNextBtn->setObjectName(QStringLiteral("FindNextBtn"));
    FindNextBtn->setDefault(true);
    CancelBtn = buttons->addButton(QDialogButtonBox::Cancel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FindEdit, 0, 1);
    grid->addWidget(WholeWordChk, 1, 0, 1, 2);
    grid->addWidget(MatchCaseChk, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->addWidget(buttons, 0, 2, 4, 1);
    setTabOrder(FindEdit, WholeWordChk);
    setTabOrder(WholeWordChk, MatchCaseChk);
    setTabOrder(MatchCaseChk, FindNextBtn);
    setTabOrder(FindNextBtn, CancelBtn);

    const auto enable = [this] { FindNextBtn->setEnabled(!FindEdit->text().isEmpty()); };
    connect(FindEdit, &QLineEdit::textChanged, this, enable);
    enable();
    connect(FindNextBtn, &QPushButton::clicked, this, [this] {
        if (!FindEdit->text().isEmpty()) emit Find();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

QString TXFindDialog::FindText() const {
    return FindEdit->text();
}

void TXFindDialog::SetFindText(const QString& text) {
    FindEdit->setText(text);
}

TSearchOptions TXFindDialog::Options() const {
    return {MatchCaseChk->isChecked(), WholeWordChk->isChecked()};
}

qsizetype TXFindDialog::SearchEdit(QPlainTextEdit* edit, const QString& what,
                                   TSearchOptions options) {
    if (!edit || what.isEmpty()) return -1;
    const TTextSearch search(AnsiUnits(what), options);
    const QByteArray text = AnsiUnits(edit->toPlainText());
    QTextCursor cursor = edit->textCursor();
    const qsizetype at = search.Find(text, cursor.selectionEnd());
    if (at < 0) return -1;
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + search.Length()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    return at;
}

bool TXFindDialog::Execute() {
    if (SearchEdit(MemoControl, FindText(), Options()) >= 0) {
        emit WordFound();
        return true;
    }
    if (!NotFoundMsg.isEmpty())
        TMessageBox::Inform(parentWidget(), tr("Find"), QString(NotFoundMsg).arg(FindText()));
    emit WordNotFound();
    return false;
}
