#include "shell/OwnInputKeys.h"

#include "platform/VirtualKeys.h"
#include "shell/QtKeys.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QWidget>
#include <utility>

TOwnInputKeys::TOwnInputKeys(std::function<QWidget*()> control,
                             std::function<intptr_t(uint16_t, int)> keyMessage)
    : control_(std::move(control)), keyMessage_(std::move(keyMessage)) {}

TOwnInputKeys::~TOwnInputKeys() {
    if (qApp) qApp->removeEventFilter(this);
}

BxHwnd TOwnInputKeys::Source() const {
    return source_ ? HandleOf(source_) : 0;
}

QWidget* TOwnInputKeys::ControlFor(BxHwnd control) const {
    if (QWidget* c = control_ ? control_() : nullptr; c && HandleOf(c) == control) return c;
    return QApplication::focusWidget();
}

bool TOwnInputKeys::Active() const {
    QWidget* c = control_ ? control_() : nullptr;
    return c && c == QApplication::focusWidget();
}

BxHwnd TOwnInputKeys::HandleOf(QWidget* control) {
    return static_cast<BxHwnd>(control->window()->winId());
}

bool TOwnInputKeys::IsOwnWindow(BxHwnd window) {
    if (window == 0) return false;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* w : all)
        if (w->internalWinId() && static_cast<BxHwnd>(w->internalWinId()) == window) return true;
    return false;
}

void TOwnInputKeys::SendKey(QWidget* widget, uint8_t vkey) {
    if (!widget) return;
    const int key = QtKeys::QtKeyForVk(vkey);
    if (key == 0) return;
    const QString text = QtKeys::TextForVk(vkey);
    QPointer<QWidget> guard(widget);
    const bool wasSending = std::exchange(sending_, true);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    // The key may close the form (Enter on its last field).
    if (guard) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(widget, &release);
    }
    sending_ = wasSending;
}

bool TOwnInputKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    if (sending_ || source_ || !control_) return false;
    QWidget* control = control_();
    if (!control || watched != control) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // The engine tells a held key from a new one by its release.
    if (type == QEvent::KeyRelease && key->isAutoRepeat()) return false;
    uint16_t code = 0;
    if (!QtKeys::CodeForKeyEvent(key->key(), key->modifiers(), key->text(), code)) return false;
    source_ = control;
    struct TReset {
        QPointer<QWidget>& source;
        ~TReset() { source.clear(); }
    } reset{source_};
    if (type == QEvent::KeyRelease) {
        keyMessage_(code, BX_KEYFLAG_UP);
        return false;
    }
    if (keyMessage_(code, BX_KEYFLAG_DOWN) == 0) return false;
    keyMessage_(code, BX_KEYFLAG_PERFORM);
    return true;
}

QWidget* OpenInputFormControl() {
    TInputMemoDlg* dlg = TInputMemoDlg::Instance();
    if (!dlg) return nullptr;
    if (TInputFieldForm* form = dlg->Process().Form(); form && form->isVisible())
        return form->FreeFormShowing() ? form->Memo1 : nullptr;
    return dlg->isVisible() ? dlg->Memo1 : nullptr;
}
