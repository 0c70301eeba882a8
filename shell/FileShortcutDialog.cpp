#include "shell/FileShortcutDialog.h"

#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "shell/FileShortcuts.h"
#include "shell/Settings.h"
#include "shell/ShortcutDialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kFileMax = 120;
constexpr int kDescMax = 32;

// The limits are for typing; a longer stored or chosen text stays whole.
void SetLimitedText(QLineEdit* edit, const QString& text, int limit) {
    edit->setMaxLength(std::max<int>(limit, text.size()));
    edit->setText(text);
}

QString FirstDroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return QString();
}
} // namespace

TFileShortcutDlg::TFileShortcutDlg(const QString& dictionaryDir, QWidget* parent)
    : QDialog(parent), dictionaryDir_(dictionaryDir) {
    setObjectName(QStringLiteral("FileShortcutDlg"));
    setWindowTitle(QStringLiteral("Specify a File Shortcut"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAcceptDrops(true);

    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setMaxLength(kFileMax);
    FileEdit->setMinimumWidth(320);
    BrowseBtn = new QPushButton(QStringLiteral("Browse"), this);
    BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    DescEdit = new QLineEdit(this);
    DescEdit->setObjectName(QStringLiteral("DescEdit"));
    DescEdit->setMaxLength(kDescMax);
    ShortcutEdit = new QLineEdit(this);
    ShortcutEdit->setObjectName(QStringLiteral("ShortcutEdit"));
    ShortcutEdit->setReadOnly(true);
    ShortcutEdit->setFocusPolicy(Qt::NoFocus);
    ShortcutEdit->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    ShortcutBtn = new QPushButton(QStringLiteral("Shortcut"), this);
    ShortcutBtn->setObjectName(QStringLiteral("ShortcutBtn"));
    NoteLbl = new QLabel(QStringLiteral("Note: file names containing spaces must be enclosed in "
                                        "double quotes."),
                         this);
    NoteLbl->setObjectName(QStringLiteral("NoteLbl"));
    NoteLbl->setWordWrap(true);
    NoteLbl->setStyleSheet(QStringLiteral("color: #505050;"));
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton* b : {BrowseBtn, ShortcutBtn, OKBtn, CancelBtn})
        b->setMinimumWidth(88);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit, 1);
    fileRow->addWidget(BrowseBtn);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(ShortcutEdit, 1);
    keyRow->addWidget(ShortcutBtn);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("Dictionary or Program Name:"), fileRow);
    form->addRow(QStringLiteral("Description:"), DescEdit);
    form->addRow(QStringLiteral("Shortcut:"), keyRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(form);
    layout->addWidget(NoteLbl);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    // Only the width may grow, for long command lines.
    setMinimumSize(sizeHint());
    setMaximumHeight(sizeHint().height());

    connect(FileEdit, &QLineEdit::textChanged, this, &TFileShortcutDlg::UpdateOK);
    connect(DescEdit, &QLineEdit::textChanged, this, &TFileShortcutDlg::UpdateOK);
    connect(BrowseBtn, &QPushButton::clicked, this, &TFileShortcutDlg::BrowseBtnClick);
    connect(ShortcutBtn, &QPushButton::clicked, this, &TFileShortcutDlg::ShortcutBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    AskOpenFile = [this](const QString& dir, const QString& file) {
        QFileDialog dlg(this, QStringLiteral("Brevix - Open Dictionary"), dir);
        dlg.setNameFilters({QStringLiteral("All Files (*)"), QStringLiteral("Dictionaries (*.bxd)"),
                            QStringLiteral("Tcl scripts (*.tcl)"),
                            QStringLiteral("Programs (*.EXE *.COM *.PIF)")});
        dlg.setFileMode(QFileDialog::ExistingFile);
        if (!file.isEmpty()) dlg.selectFile(file);
        return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()
                   ? dlg.selectedFiles().constFirst()
                   : QString();
    };
    AskShortcut = [this](uint16_t& code) { return ShortcutDialog(code, this); };
    UpdateOK();
}

void TFileShortcutDlg::SetFileText(const QString& file) {
    SetLimitedText(FileEdit, file, kFileMax);
}

void TFileShortcutDlg::SetValues(const QString& file, uint16_t code, const QString& caption) {
    SetFileText(file);
    SetLimitedText(DescEdit, caption, kDescMax);
    SetCode(code);
}

void TFileShortcutDlg::SetCode(uint16_t code) {
    code_ = code;
    ShortcutEdit->setText(Ansi::ToUnicode(KeyCodeToText(code)));
    UpdateOK();
}

QString TFileShortcutDlg::FileText() const {
    return FileEdit->text().trimmed();
}

QString TFileShortcutDlg::Description() const {
    const QString desc = DescEdit->text().trimmed();
    return desc.isEmpty() ? DefaultShortcutDescription(FileText()) : desc;
}

void TFileShortcutDlg::UpdateOK() {
    OKBtn->setEnabled(!FileText().isEmpty() && code_ != 0);
}

void TFileShortcutDlg::BrowseBtnClick() {
    const QString file = SettingsStore::Unquote(FileText()).trimmed();
    const QString dir = file.contains(u'/') ? QFileInfo(file).path() : dictionaryDir_;
    hide();
    const QString chosen = AskOpenFile(dir, file).trimmed();
    if (!chosen.isEmpty()) SetFileText(u'"' + chosen + u'"');
    show();
}

void TFileShortcutDlg::ShortcutBtnClick() {
    uint16_t code = code_;
    if (AskShortcut(code)) SetCode(code);
}

void TFileShortcutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A file without a key goes straight to choosing its key, also when the
    // dialog comes back from Browse.
    if (code_ != 0 || FileText().isEmpty()) return;
    QTimer::singleShot(0, ShortcutBtn, &QPushButton::click);
}

void TFileShortcutDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstDroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFileShortcutDlg::dropEvent(QDropEvent* event) {
    const QString file = FirstDroppedFile(event->mimeData());
    if (file.isEmpty()) return;
    SetFileText(file);
    event->acceptProposedAction();
}

bool FileShortcutDialog(QString& file, uint16_t& code, QString& caption,
                        const QString& dictionaryDir, QWidget* parent) {
    TFileShortcutDlg dlg(dictionaryDir, parent);
    dlg.SetValues(file, code, caption);
    if (dlg.exec() != QDialog::Accepted) return false;
    code = dlg.Code();
    file = dlg.FileText();
    caption = dlg.Description();
    return true;
}
