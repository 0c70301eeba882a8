#pragma once
// Drives the field forms an input text window makes: each wait of a form is
// answered with the next action, Cancel once none is left.
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputMemoDlg.h"

#include <deque>
#include <functional>
#include <memory>

using TAction = std::function<void(TInputFieldForm&)>;

inline void Script(TInputMemoDlg* dlg, std::shared_ptr<std::deque<TAction>> actions) {
    dlg->Process().OnFormMade = [actions](TInputFieldForm& form) {
        QObject::connect(&form, &TInputFieldForm::WaitStarted, &form, [actions, &form] {
            if (actions->empty()) {
                form.SetResult(nav::Cancel);
                return;
            }
            TAction a = actions->front();
            actions->pop_front();
            a(form);
        });
    };
}
