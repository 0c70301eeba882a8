#pragma once
// The command procedures behind RegisterWindowFileListCommands, one file each.
#include <QByteArray>
#include <QList>

class TMainForm;
class TTclInterface;
class TBxCommandState;

struct TBxContext {
    TMainForm& Form;
    TTclInterface& Tcl;
    TBxCommandState& State;
};

int BxWindowCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxFileCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
int BxListCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result);
