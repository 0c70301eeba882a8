#include "tags/gui/TagsMenu.h"

#include "platform/Keycodes.h"
#include "tags/EditorText.h"
#include "tags/gui/EditorServices.h"
#include "tags/gui/TagDialogs.h"

#include <QDateTime>
#include <QInputDialog>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextCursor>

TTagsMenu::TTagsMenu(QPlainTextEdit* target, const TEditorServices& services, bool inPickList,
                     QWidget* parent)
    : QMenu(parent), target_(target), services_(services), inPickList_(inPickList) {
    setObjectName(QStringLiteral("TagsMenu"));
    const auto item = [](QMenu* menu, const QString& caption, const char* name, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        QObject::connect(a, &QAction::triggered, menu, slot);
        return a;
    };
    const auto tag = [this, &item](QMenu* menu, const QString& caption, const char* name,
                                   const QString& body) {
        return item(menu, caption, name, [this, body] { InsertTag(body); });
    };

    DialogBoxes1 = addMenu(tr("Dialog Boxes"));
    item(DialogBoxes1, tr("&Input Field"), "InputField1", [this] { InputField1Click(); });
    item(DialogBoxes1, tr("Input &Date Field"), "InputDate1", [this] { InputDate1Click(); });
    item(DialogBoxes1, tr("&Message"), "Message1", [this] { Message1Click(); });
    item(this, tr("Input &File"), "InputFile1", [this] { InputFile1Click(); });
    item(this, tr("&Tcl Script"), "TclScript1", [this] {
        TclScript1Click();
    })->setEnabled(static_cast<bool>(services.TclTag));
    addSeparator();
    item(this, tr("&Keystroke..."), "Keystroke1", [this] {
        Keystroke1Click();
    })->setEnabled(static_cast<bool>(services.NextKey));
    item(this, tr("&Pause..."), "Pause1", [this] { Pause1Click(); });
    InsertVariable1 = addMenu(tr("Insert &Variable"));
    InsertVariable1->setObjectName(QStringLiteral("InsertVariable1"));
    DateTime1 = addMenu(tr("Date/Time"));
    const char* dateNames[] = {"LongDate1", "ShortDate1", "LongTime1", "ShortTime1"};
    const char* dateTags[] = {"LONGDATE", "SHORTDATE", "LONGTIME", "SHORTTIME"};
    for (int i = 0; i < 4; ++i)
        dateActions_ << tag(DateTime1, QString(), dateNames[i], QLatin1String(dateTags[i]));
    addSeparator();
    item(this, tr("&Remark"), "Remark1", [this] { Remark1Click(); });
    tag(this, tr("D&elete Line"), "DeleteLine1", QStringLiteral("DELETELINE"));
    tag(this, tr("&NoSpace"), "NoSpace1", QStringLiteral("NOSPACE"));
    item(this, tr("Tab"), "Tab1", [this] { InsertText(QStringLiteral("\t")); });
    tag(this, tr("Left &Brace '{'"), "LeftBrace1", QStringLiteral("LEFTBRACE"));
    tag(this, tr("Right Br&ace '}'"), "RightBrace1", QStringLiteral("RIGHTBRACE"));
    addSeparator();
    EditorOptions1 = addMenu(tr("Editor Options"));
    EditorOptions1->menuAction()->setVisible(false);

    connect(this, &QMenu::aboutToShow, this, [this] {
        RebuildVariables();
        RefreshDateCaptions();
    });
    RefreshDateCaptions();
    RebuildVariables();

    AskText = [this](const QString& prompt, QString& value) {
        bool ok = false;
        const QString answer = QInputDialog::getText(parentWidget(), QStringLiteral("Brevix"),
                                                     prompt, QLineEdit::Normal, value, &ok);
        if (ok) value = answer;
        return ok;
    };
}

void TTagsMenu::InsertText(const QString& text) {
    QTextCursor c = target_->textCursor();
    c.beginEditBlock();
    c.insertText(text);
    c.endEditBlock();
    target_->setTextCursor(c);
    target_->setFocus();
}

void TTagsMenu::InsertTag(const QString& body) {
    InsertText(EditorText::Tag(body));
}

void TTagsMenu::RefreshDateCaptions() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString captions[] = {
        tr("&Long Date '%1'").arg(locale.toString(now.date(), QLocale::LongFormat)),
        tr("&Short Date '%1'").arg(locale.toString(now.date(), QLocale::ShortFormat)),
        tr("L&ong Time '%1'").arg(locale.toString(now.time(), QLocale::LongFormat)),
        tr("Short &Time '%1'").arg(locale.toString(now.time(), QLocale::ShortFormat))};
    // The date text may hold "&", which must not become a mnemonic.
    for (int i = 0; i < dateActions_.size(); ++i) {
        QString date = captions[i];
        const qsizetype quote = date.indexOf(QLatin1Char('\''));
        date = date.left(quote) + date.mid(quote).replace(QLatin1Char('&'), QStringLiteral("&&"));
        dateActions_[i]->setText(date);
    }
}

void TTagsMenu::RebuildVariables() {
    InsertVariable1->clear();
    QAction* define = InsertVariable1->addAction(tr("Define New Variable"));
    define->setObjectName(QStringLiteral("DefineVariable1"));
    connect(define, &QAction::triggered, this, [this] { DefineVariable1Click(); });
    InsertVariable1->addSeparator();
    // Reading the text leaves the caret, the selection and the view alone.
    for (const QString& name : EditorText::InputFieldNames(target_->toPlainText())) {
        const QString reference = QLatin1Char('{') + name + QLatin1Char('}');
        QString caption = reference;
        QAction* a = InsertVariable1->addAction(caption.replace(QLatin1Char('&'), "&&"));
        connect(a, &QAction::triggered, this, [this, reference] { InsertText(reference); });
    }
}

int TTagsMenu::Run(QDialog& dialog) {
    bool closed = false;
    connect(&dialog, &QDialog::finished, this, [&closed] { closed = true; });
    if (PrepareDialog) PrepareDialog(&dialog);
    return closed ? dialog.result() : dialog.exec();
}

void TTagsMenu::InputField1Click() {
    TInputTagDlg dlg(services_, !inPickList_, parentWidget());
    if (Run(dlg) == QDialog::Accepted) InsertText(dlg.TagText());
}

void TTagsMenu::DefineVariable1Click() {
    InputField1Click();
}

void TTagsMenu::InputDate1Click() {
    TInputDateTagDlg dlg(services_, parentWidget());
    if (Run(dlg) == QDialog::Accepted) InsertText(dlg.TagText());
}

void TTagsMenu::Message1Click() {
    TInputMsgTagDlg dlg(services_, parentWidget());
    if (Run(dlg) == QDialog::Accepted) InsertText(dlg.TagText());
}

void TTagsMenu::InputFile1Click() {
    TInputFileTagDlg dlg(services_, parentWidget());
    if (Run(dlg) == QDialog::Accepted) InsertText(dlg.TagText());
}

void TTagsMenu::TclScript1Click() {
    if (!services_.TclTag) return;
    if (const std::optional<QString> tag = services_.TclTag(parentWidget())) InsertText(*tag);
}

void TTagsMenu::Keystroke1Click() {
    if (!services_.NextKey) return;
    const uint16_t code = services_.NextKey(parentWidget());
    if (code == 0) return;
    InsertTag(QStringLiteral("KEY ") + QString::fromLatin1(KeyCodeToText(code)));
}

void TTagsMenu::Pause1Click() {
    QString seconds = QStringLiteral("1");
    if (AskText(tr("Enter # of seconds to pause (max=10):"), seconds) &&
        !seconds.trimmed().isEmpty())
        InsertTag(QStringLiteral("PAUSE ") + seconds.trimmed());
}

void TTagsMenu::Remark1Click() {
    QString remark;
    if (AskText(tr("Enter the remark or comment:"), remark) && !remark.trimmed().isEmpty())
        InsertTag(QStringLiteral("REM ") + remark);
}
