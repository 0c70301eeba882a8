#include "script/BxCommands.h"

#include "dictionary/DictionarySession.h"
#include "script/BxCommandSet.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <memory>

TBxCommandState::TBxCommandState(TScriptHost& host) : host_(host) {
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &TBxCommandState::Refresh);
}

void TBxCommandState::ListChanged() {
    host_.Session().RebuildShortcutIndex(host_.ProgramHotKey());
    refresh_.start();
}

void TBxCommandState::Refresh() {
    refresh_.stop();
    host_.RefreshGrid(host_.CurrentRow());
}

bool TBxCommandState::TakeShowRequest() {
    const bool requested = showRequested_;
    showRequested_ = false;
    return requested;
}

TBxCommandState& RegisterWindowFileListCommands(TTclInterface& tcl, TScriptHost& host) {
    auto ctx = std::make_shared<TBxContext>(host, tcl);
    const auto bind = [ctx](auto command) {
        return [ctx, command](TTclInterface&, const QList<QByteArray>& argv, QByteArray& result) {
            return command(*ctx, argv, result);
        };
    };
    tcl.CreateCommand("bx_list", bind(&BxListCommand));
    tcl.CreateCommand("bx_window", bind(&BxWindowCommand));
    tcl.CreateCommand("bx_file", bind(&BxFileCommand));
    tcl.CreateCommand("bx_set", bind(&BxSetCommand));
    tcl.CreateCommand("bx_screen", bind(&BxScreenCommand));
    tcl.CreateCommand("bx_debug", bind(&BxDebugCommand));
    tcl.CreateCommand("bx_input", bind(&BxInputCommand));
    return ctx->State;
}
