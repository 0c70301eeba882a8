// The main window's side of typing: the Type It button and the text-to-type box.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "shell/Mainfrm.h"
#include "tags/ParseTxt.h"
#include "typing/Autorepl.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
// How often a box out of sight looks whether the run is over.
constexpr int kTextBoxWaitMsec = 50;
} // namespace

bool TMainForm::ApplicationActive() const {
    return QApplication::activeWindow() != nullptr;
}

void TMainForm::Beep() {
    QApplication::beep();
}

void TMainForm::MinimiseApplication() {
    if (QSystemTrayIcon::isSystemTrayAvailable() && Tray1) {
        Tray1->show();
        hide();
    } else if (isVisible()) {
        // A bare window manager has no notification area: the task bar or the
        // window list is the way back, and the user is told so once.
        if (!trayMissingTold_) {
            trayMissingTold_ = true;
            const QString why =
                tr("No notification area was found: Brevix is minimised instead of hidden.");
            StatusLbl->setText(why);
            qInfo("%s", qPrintable(why));
        }
        showMinimized();
    }
}

void TMainForm::TypeItBtnClick() {
    if (!TypeItBtn->isEnabled()) return;
    TypeText(TextToTypeShown());
}

void TMainForm::TypeText(const QByteArray& text) {
    if (Typing->InputFormMode) {
        InsertIntoInputForm(text);
        // Ends as a typed text does: the delimiter of an expansion in the
        // form's own control follows, the transfer-done script runs.
        Typing->AfterTyping();
        return;
    }
    // A restricted dictionary types only its read-only entries with their tags.
    const int row = CurrentRow();
    const bool literally =
        Session.Dict().GetRestricted() && !(row >= 0 && Session.Dict().GetItem(row)->GetReadOnly());
    if (!literally && text.size() >= 7 && FindFirstInputTag(text) >= 0) {
        StartInputText(text);
        return;
    }
    Typing->Type(text, literally);
}

void TMainForm::ShowTextToType(const QByteArray& text) {
    // Laying the box out costs more than typing a short text: it is filled
    // from the event loop, and out of sight only once the run is over.
    pendingTextToType_ = text;
    if (textToTypePending_) return;
    textToTypePending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { FlushTextToType(); }, Qt::QueuedConnection);
}

void TMainForm::SetTextToType(const QString& text) {
    textToTypePending_ = false;
    pendingTextToType_.clear();
    Memo1->setPlainText(text);
}

void TMainForm::FlushTextToType() {
    if (!textToTypePending_) return;
    // Laying the box out takes the processors as long as typing a short text
    // does: while a run is under way and the box is out of sight, it waits.
    if ((!isVisible() || isMinimized()) && !Typing->Idle()) {
        QTimer::singleShot(kTextBoxWaitMsec, this, [this] { FlushTextToType(); });
        return;
    }
    SetTextToType(Ansi::ToUnicode(pendingTextToType_));
}

QByteArray TMainForm::TextToTypeShown() const {
    if (textToTypePending_) return pendingTextToType_;
    return Ansi::FromUnicode(
        Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}
