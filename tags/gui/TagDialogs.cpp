#include "tags/gui/TagDialogs.h"

#include "platform/BuddyLabel.h"
#include "platform/MessageBox.h"
#include "tags/EditorText.h"
#include "tags/gui/EditorServices.h"
#include "tags/gui/TagsMenu.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int kMaxPrompt = 100;
constexpr int kMaxName = 16;

QLineEdit* NameBox(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("NameEdit"));
    e->setMaxLength(kMaxName);
    // Letters and digits; blanks are allowed here and become "_".
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\w ]{0,16}")), e));
    return e;
}

QLineEdit* PromptBox(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("PromptEdit"));
    e->setMaxLength(kMaxPrompt);
    return e;
}

QDialogButtonBox* OkCancel(QDialog* dialog, QPushButton** ok) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    *ok = box->button(QDialogButtonBox::Ok);
    (*ok)->setObjectName(QStringLiteral("OKBtn"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

// Cut, Copy, Paste, Select All and Undo for a text box, in a row.
QHBoxLayout* EditButtons(QPlainTextEdit* memo, QWidget* parent) {
    auto* row = new QHBoxLayout;
    const auto add = [&](const QString& caption, const char* name, auto slot) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, memo, slot);
        row->addWidget(b);
        return b;
    };
    QPushButton* cut = add(QObject::tr("Cu&t"), "CutBtn", &QPlainTextEdit::cut);
    QPushButton* copy = add(QObject::tr("Cop&y"), "CopyBtn", &QPlainTextEdit::copy);
    add(QObject::tr("&Paste"), "PasteBtn", &QPlainTextEdit::paste);
    add(QObject::tr("Select &All"), "SelectAllBtn", &QPlainTextEdit::selectAll);
    QPushButton* undo = add(QObject::tr("&Undo"), "UndoBtn", &QPlainTextEdit::undo);
    cut->setEnabled(false);
    copy->setEnabled(false);
    undo->setEnabled(false);
    QObject::connect(memo, &QPlainTextEdit::copyAvailable, cut, &QWidget::setEnabled);
    QObject::connect(memo, &QPlainTextEdit::copyAvailable, copy, &QWidget::setEnabled);
    QObject::connect(memo, &QPlainTextEdit::undoAvailable, undo, &QWidget::setEnabled);
    return row;
}
} // namespace

// ---- input field -------------------------------------------------------------

TInputTagDlg::TInputTagDlg(const TEditorServices& services, bool withPickList, QWidget* parent)
    : TPlacedDialog(QStringLiteral("InputTagDlg"), services.IniPath, parent) {
    setWindowTitle(withPickList ? tr("Define @INPUT Tag") : tr("Insert @INPUT Tag Into Pick List"));
    PromptEdit = PromptBox(this);
    NameEdit = NameBox(this);
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(tr("&Input Prompt:"), PromptEdit, this), PromptEdit);
    form->addRow(BuddyLabel(tr("&Variable Name:"), NameEdit, this), NameEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    if (withPickList) {
        PickListMemo = new QPlainTextEdit(this);
        PickListMemo->setObjectName(QStringLiteral("PickListMemo"));
        PickListMemo->setTabChangesFocus(true);
        PickListMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
        ItemsLbl = new QLabel(EditorText::ItemsCaption(0), this);
        ItemsLbl->setObjectName(QStringLiteral("ItemsLbl"));
        auto* head = new QHBoxLayout;
        head->addWidget(
            BuddyLabel(tr("&Optional Pick List (enter 1 item per line)"), PickListMemo, this), 1);
        head->addWidget(ItemsLbl);
        layout->addLayout(head);
        layout->addWidget(PickListMemo, 1);
        auto* buttons = EditButtons(PickListMemo, this);
        TagsBtn = new QPushButton(tr("{Ta&gs}"), this);
        TagsBtn->setObjectName(QStringLiteral("TagsBtn"));
        TagsBtn->setAutoDefault(false);
        auto* tags = new TTagsMenu(PickListMemo, services, true, this);
        connect(TagsBtn, &QPushButton::clicked, this,
                [this, tags] { tags->popup(TagsBtn->mapToGlobal(QPoint(0, TagsBtn->height()))); });
        buttons->insertWidget(0, TagsBtn);
        layout->addLayout(buttons);
        MultipleChk = new QCheckBox(tr("Allow &Multiple Selections"), this);
        MultipleChk->setObjectName(QStringLiteral("MultipleChk"));
        MultipleChk->setChecked(true);
        SeparatorEdit = new QLineEdit(QStringLiteral(", "), this);
        SeparatorEdit->setObjectName(QStringLiteral("SeparatorEdit"));
        auto* options = new QHBoxLayout;
        options->addWidget(MultipleChk);
        options->addStretch(1);
        options->addWidget(BuddyLabel(tr("Separato&r:"), SeparatorEdit, this));
        options->addWidget(SeparatorEdit);
        layout->addLayout(options);
        connect(PickListMemo, &QPlainTextEdit::textChanged, this, [this] {
            ItemsLbl->setText(EditorText::ItemsCaption(static_cast<int>(PickList().size())));
            changed_ = true;
        });
        resize(460, 380);
    }
    layout->addWidget(OkCancel(this, &OKBtn));
    for (QLineEdit* e : {PromptEdit, NameEdit})
        connect(e, &QLineEdit::textEdited, this, [this] { changed_ = true; });
    AskYes = [this](const QString& m) {
        return TMessageBox::Ask(this, QStringLiteral("Brevix"), m) == QMessageBox::Yes;
    };
}

QStringList TInputTagDlg::PickList() const {
    if (!PickListMemo) return {};
    QStringList lines = PickListMemo->toPlainText().split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString TInputTagDlg::TagText() const {
    return EditorText::InputTag(NameEdit->text(), PromptEdit->text(), PickList(),
                                !MultipleChk || MultipleChk->isChecked(),
                                SeparatorEdit ? SeparatorEdit->text() : QString());
}

void TInputTagDlg::reject() {
    if (changed_ && !AskYes(tr("Abandon changes.\nAre you sure?"))) return;
    TPlacedDialog::reject();
}

// ---- date field --------------------------------------------------------------

TInputDateTagDlg::TInputDateTagDlg(const TEditorServices& services, QWidget* parent)
    : TPlacedDialog(QStringLiteral("InputDateTagDlg"), services.IniPath, parent) {
    setWindowTitle(tr("Define @INPUTDATE Tag"));
    PromptEdit = PromptBox(this);
    NameEdit = NameBox(this);
    ShortRadio = new QRadioButton(tr("&Short"), this);
    ShortRadio->setObjectName(QStringLiteral("ShortRadio"));
    ShortRadio->setChecked(true);
    LongRadio = new QRadioButton(tr("&Long"), this);
    LongRadio->setObjectName(QStringLiteral("LongRadio"));
    auto* format = new QHBoxLayout;
    format->addWidget(ShortRadio);
    format->addWidget(LongRadio);
    format->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(tr("&Input Prompt:"), PromptEdit, this), PromptEdit);
    form->addRow(BuddyLabel(tr("&Variable Name:"), NameEdit, this), NameEdit);
    form->addRow(tr("Default Format:"), format);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QPushButton* ok = nullptr;
    layout->addWidget(OkCancel(this, &ok));
    resize(380, sizeHint().height());
}

QString TInputDateTagDlg::TagText() const {
    return EditorText::InputDateTag(NameEdit->text(), PromptEdit->text(), LongRadio->isChecked());
}

// ---- file field --------------------------------------------------------------

TInputFileTagDlg::TInputFileTagDlg(const TEditorServices& services, QWidget* parent)
    : TPlacedDialog(QStringLiteral("InputFileTagDlg"), services.IniPath, parent),
      services_(services) {
    setWindowTitle(tr("Define @INPUTFILE Tag"));
    NameEdit = NameBox(this);
    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    BrowseBtn = new QPushButton(tr("&Browse"), this);
    BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    BrowseBtn->setAutoDefault(false);
    NotepadBtn = new QPushButton(tr("Run &Notepad"), this);
    NotepadBtn->setObjectName(QStringLiteral("NotepadBtn"));
    NotepadBtn->setAutoDefault(false);
    NotepadBtn->setEnabled(static_cast<bool>(services.OpenInEditor));
    auto* file = new QHBoxLayout;
    file->addWidget(FileEdit, 1);
    file->addWidget(BrowseBtn);
    file->addWidget(NotepadBtn);
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(tr("&Variable Name:"), NameEdit, this), NameEdit);
    form->addRow(BuddyLabel(tr("Text &Filename:"), FileEdit, this), file);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this, &OKBtn));
    OKBtn->setEnabled(false);
    connect(FileEdit, &QLineEdit::textChanged, this,
            [this] { OKBtn->setEnabled(!FileEdit->text().trimmed().isEmpty()); });
    connect(BrowseBtn, &QPushButton::clicked, this, &TInputFileTagDlg::BrowseBtnClick);
    connect(NotepadBtn, &QPushButton::clicked, this, &TInputFileTagDlg::NotepadBtnClick);
    resize(480, sizeHint().height());
}

QString TInputFileTagDlg::TagText() const {
    return EditorText::InputFileTag(NameEdit->text(), FileEdit->text());
}

void TInputFileTagDlg::ChooseFile(const QString& path) {
    const QFileInfo info(path);
    const QString folder = services_.DictionaryFolder;
    const bool inFolder = !folder.isEmpty() &&
                          QDir(info.absolutePath()) == QDir(QFileInfo(folder).absoluteFilePath());
    FileEdit->setText(inFolder ? info.fileName() : QDir::toNativeSeparators(path));
}

void TInputFileTagDlg::BrowseBtnClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Text File"), services_.DictionaryFolder,
                                     tr("Text files (*.txt *.TXT);;All files (*)"));
    if (!path.isEmpty()) ChooseFile(path);
}

void TInputFileTagDlg::NotepadBtnClick() {
    const QString name = FileEdit->text().trimmed();
    const QString folder = services_.DictionaryFolder;
    const QString path =
        name.isEmpty() || QFileInfo(name).isAbsolute() ? name : QDir(folder).filePath(name);
    if (!services_.OpenInEditor || !services_.OpenInEditor(path, folder))
        TMessageBox::Error(this, QStringLiteral("Brevix"), tr("Brevix could not launch Notepad"));
}

// ---- message -----------------------------------------------------------------

TInputMsgTagDlg::TInputMsgTagDlg(const TEditorServices& services, QWidget* parent)
    : TPlacedDialog(QStringLiteral("InputMsgTagDlg"), services.IniPath, parent) {
    setWindowTitle(tr("Define @INPUTMSG Tag"));
    MsgMemo = new QPlainTextEdit(this);
    MsgMemo->setObjectName(QStringLiteral("MsgMemo"));
    MsgMemo->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuddyLabel(tr("&Enter the Message to display:"), MsgMemo, this));
    layout->addWidget(MsgMemo, 1);
    layout->addWidget(OkCancel(this, &OKBtn));
    resize(400, 220);
}

QString TInputMsgTagDlg::TagText() const {
    QString m = MsgMemo->toPlainText();
    return EditorText::InputMsgTag(m.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}
