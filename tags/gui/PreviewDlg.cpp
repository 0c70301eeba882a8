#include "tags/gui/PreviewDlg.h"

#include "tags/InputFields.h"
#include "tags/gui/InputHelp.h"
#include "tags/gui/WindowPlacement.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("PreviewDlg");
}

TPreviewDlg::TPreviewDlg(const QString& text, qsizetype caret, int fieldNumber, const QFont& font,
                         const QString& iniPath, TSessionAction session, QWidget* parent)
    : QDialog(parent), session_(std::move(session)), iniPath_(iniPath), caret_(caret),
      result_(nav::Preview) {
    setObjectName(QStringLiteral("PreviewDlg"));
    setWindowTitle(tr("Text to Type Preview"));
    InputHelp::SetTopic(this, "preview");
    setMinimumSize(420, 230);
    resize(560, 380);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFont(font);
    // The fields still to come stand as numbered placeholders.
    QString shown = text;
    TKeptTags kept;
    HideInputTags(shown, fieldNumber + 1, kept);
    // The caret keeps its place in the text before it, as the box shows it.
    QString before = text.left(caret);
    TKeptTags keptBefore;
    HideInputTags(before, fieldNumber + 1, keptBefore);
    caret_ = before.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).size();
    Memo1->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    SaveSessionBtn = new QPushButton(tr("&Save Session"), this);
    SaveSessionBtn->setObjectName(QStringLiteral("SaveSessionBtn"));
    RestoreSessionBtn = new QPushButton(tr("&Restore Session"), this);
    RestoreSessionBtn->setObjectName(QStringLiteral("RestoreSessionBtn"));
    SaveSessionBtn->setEnabled(bool(session_));
    RestoreSessionBtn->setEnabled(bool(session_));
    auto* row = new QHBoxLayout;
    row->addWidget(SaveSessionBtn);
    row->addWidget(RestoreSessionBtn);
    row->addStretch();
    row->addWidget(OKBtn);
    row->addWidget(CancelBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Memo1, 1);
    l->addLayout(row);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(SaveSessionBtn, &QPushButton::clicked, this, [this] { SessionBtnClick(true); });
    connect(RestoreSessionBtn, &QPushButton::clicked, this, [this] { SessionBtnClick(false); });
    WindowPlacement::Restore(this, iniPath_, kSection);
}

TPreviewDlg::~TPreviewDlg() {
    WindowPlacement::Save(this, iniPath_, kSection);
}

void TPreviewDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        QTextCursor c = Memo1->textCursor();
        c.setPosition(static_cast<int>(
            qBound(qsizetype(0), caret_, qsizetype(Memo1->document()->characterCount() - 1))));
        Memo1->setTextCursor(c);
        Memo1->ensureCursorVisible();
        Memo1->setFocus();
    });
}

void TPreviewDlg::SessionBtnClick(bool save) {
    const int code = session_(save);
    if (code == 0 || code == nav::SessionFailed) return;
    result_ = code;
    accept();
}

int ShowPreview(const QString& text, qsizetype caret, int fieldNumber, const QFont& font,
                const QString& iniPath, TPreviewDlg::TSessionAction session, QWidget* parent) {
    TPreviewDlg dlg(text, caret, fieldNumber, font, iniPath, std::move(session), parent);
    dlg.exec();
    return dlg.Result();
}
