#pragma once
// Keys typed into the program's own input control while an input form is
// open. Qt delivers them to the control, and XRecord reports the same keys
// to the hook, which can neither hold nor swallow them. So the control's keys
// reach the auto-replace engine from here, before the control sees them: a
// delimiter that completes a keyword is kept from the control, the keyword is
// erased in it, the text and then the delimiter are put there, all before the
// next key is handled; the hook's report of such keys is ignored.
#include "hook/HookProtocol.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

class TOwnInputKeys : public QObject {
public:
    // control: the control keys expand in now, or null. keyMessage: the main
    // window's key notification (code, BX_KEYFLAG_*), non-zero when consumed.
    TOwnInputKeys(std::function<QWidget*()> control,
                  std::function<intptr_t(uint16_t, int)> keyMessage);
    ~TOwnInputKeys() override;

    // The control the key being handled was typed into, as the engine names
    // it (its window); 0 while no key of ours is handled.
    BxHwnd Source() const;
    // The live control named so, else the focused widget.
    QWidget* ControlFor(BxHwnd control) const;
    // A key press and release with its character, unseen by the engine.
    void SendKey(QWidget* widget, uint8_t vkey);

    static BxHwnd HandleOf(QWidget* control);
    // Keys typed now come from Qt: the control has the keyboard focus.
    bool Active() const;
    // One of the program's own top-level windows.
    static bool IsOwnWindow(BxHwnd window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QWidget*()> control_;
    std::function<intptr_t(uint16_t, int)> keyMessage_;
    QPointer<QWidget> source_;
    bool sending_ = false;
};

// The text control of the open input form: the field form's free text when
// it shows, else the input text window's text; null without one.
QWidget* OpenInputFormControl();
