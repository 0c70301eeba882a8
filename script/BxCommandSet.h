#pragma once
// The command procedures behind RegisterWindowFileListCommands, one file each.
#include "script/BxCommands.h"

#include <QByteArray>
#include <QList>

class TScriptHost;
class TTclInterface;

struct TBxContext {
    TBxContext(TScriptHost& host, TTclInterface& tcl) : Host(host), Tcl(tcl), State(host) {}
    TScriptHost& Host;
    TTclInterface& Tcl;
    TBxCommandState State;
};

int BxWindowCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxFileCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxSetCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxListCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxScreenCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxDebugCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxInputCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
