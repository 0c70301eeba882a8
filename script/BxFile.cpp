// bx_file: the current dictionary file.
#include "dictionary/Dict.h"
#include "dictionary/DictionarySession.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace BxArgs;

namespace {

constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;

QByteArray SavingFailed(TScriptHost& host) {
    return "error occurred while saving  \"" + Ansi::FromUnicode(host.Session().FileName()) + "\"";
}

// Saves a modified dictionary. A save that was refused (a read-only file)
// leaves it modified and counts as a failure, so that the caller does not
// go on and drop the changes.
bool SaveCurrent(TScriptHost& host) {
    try {
        if (!host.SaveIfModified()) return false;
    } catch (const EAbort&) {
        return false;
    } catch (const EBrevix&) {
        return false;
    }
    return !host.Session().Modified();
}

bool CanCreate(const QString& name) {
    if (name.isEmpty()) return false;
    try {
        DictFile::Save(name, TDictionaryList());
    } catch (const std::exception&) {
        return false;
    }
    QFile::remove(name);
    return true;
}

int Open(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TScriptHost& host = ctx.Host;
    if (argv.size() != 3) {
        result = WrongArgs("bx_file open filename");
        return Error;
    }
    if (!SaveCurrent(host)) {
        result = "cannot save current dictionary";
        return Error;
    }
    const QString name = Ansi::ToUnicode(argv[2]).trimmed();
    if (name.isEmpty() || !QFileInfo::exists(name)) {
        // Creating closes the open dictionary first: make sure the file can
        // be written before anything changes.
        if (!CanCreate(name)) {
            result = "cannot create new file";
            return Error;
        }
        try {
            host.CreateDictionary(name);
        } catch (const std::exception&) {
            result = "cannot create new file";
            return Error;
        }
        return host.Session().FileName().isEmpty() ? Error : Ok;
    }
    try {
        return host.OpenDictionary(name) ? Ok : Error;
    } catch (const std::exception&) {
        result = "cannot open existing file: \"" + argv[2] + "\"";
        return Error;
    }
}

int Save(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TScriptHost& host = ctx.Host;
    if (argv.size() > 3) {
        result = WrongArgs("bx_file save ?saveAsFilename?");
        return Error;
    }
    const QByteArray failed = SavingFailed(host);
    try {
        if (argv.size() == 3)
            host.SaveAs(Ansi::ToUnicode(argv[2]));
        else
            host.Save();
    } catch (const std::exception&) {
        result = failed;
        return Error;
    }
    if (host.Session().Modified()) {
        result = failed;
        return Error;
    }
    return Ok;
}

int Close(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TScriptHost& host = ctx.Host;
    if (argv.size() > 2) {
        result = NoArgs("bx_file close");
        return Error;
    }
    const QByteArray failed = SavingFailed(host);
    if (!SaveCurrent(host)) {
        result = failed;
        return Error;
    }
    host.CloseDictionary();
    return Ok;
}

} // namespace

int BxFileCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    if (argv.size() < 2) {
        result = Ansi::FromUnicode(QDir::fromNativeSeparators(ctx.Host.Session().FileName()));
        return Ok;
    }
    const QByteArray& option = argv[1];
    if (option == "open") return Open(ctx, argv, result);
    if (option == "save") return Save(ctx, argv, result);
    if (option == "close") return Close(ctx, argv, result);
    result = BadOption(option, "open, close or save");
    return Error;
}
