#include "script/BxCommands.h"

#include "script/BxCommandSet.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"

#include <memory>

TBxCommandState::TBxCommandState(TMainForm& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("BxCommandState"));
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &TBxCommandState::Refresh);
}

void TBxCommandState::ListChanged() {
    form_.Session.RebuildShortcutIndex(form_.Settings.ProgramHotKey);
    refresh_.start();
}

void TBxCommandState::Refresh() {
    refresh_.stop();
    form_.RefreshGrid(form_.CurrentRow());
}

bool TBxCommandState::TakeShowRequest() {
    const bool requested = showRequested_;
    showRequested_ = false;
    return requested;
}

TBxCommandState& BxCommandState(TMainForm& form) {
    if (auto* state = form.findChild<TBxCommandState*>(QStringLiteral("BxCommandState"),
                                                       Qt::FindDirectChildrenOnly))
        return *state;
    return *new TBxCommandState(form);
}

void RegisterWindowFileListCommands(TTclInterface& tcl, TMainForm& form) {
    auto ctx = std::make_shared<TBxContext>(TBxContext{form, tcl, BxCommandState(form)});
    const auto bind = [ctx](auto command) {
        return [ctx, command](TTclInterface&, const QList<QByteArray>& argv, QByteArray& result) {
            return command(*ctx, argv, result);
        };
    };
    tcl.CreateCommand("bx_list", bind(&BxListCommand));
    tcl.CreateCommand("bx_window", bind(&BxWindowCommand));
    tcl.CreateCommand("bx_file", bind(&BxFileCommand));
}
