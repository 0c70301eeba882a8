// bx_file: the current dictionary file.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace BxArgs;

namespace {

constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;

QByteArray SavingFailed(const TMainForm& form) {
    return "error occurred while saving  \"" + Ansi::FromUnicode(form.Session.FileName()) + "\"";
}

// Saves a modified dictionary. A save that was refused (a read-only file)
// leaves it modified and counts as a failure, so that the caller does not
// go on and drop the changes.
bool SaveCurrent(TMainForm& form) {
    try {
        if (!form.SaveIfModified()) return false;
    } catch (const EAbort&) {
        return false;
    } catch (const EBrevix&) {
        return false;
    }
    return !form.Session.Modified();
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
    TMainForm& form = ctx.Form;
    if (argv.size() != 3) {
        result = WrongArgs("bx_file open filename");
        return Error;
    }
    if (!SaveCurrent(form)) {
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
            form.CreateDictionary(name);
        } catch (const std::exception&) {
            result = "cannot create new file";
            return Error;
        }
        return form.Session.FileName().isEmpty() ? Error : Ok;
    }
    try {
        return form.OpenDictionary(name) ? Ok : Error;
    } catch (const std::exception&) {
        result = "cannot open existing file: \"" + argv[2] + "\"";
        return Error;
    }
}

int Save(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TMainForm& form = ctx.Form;
    if (argv.size() > 3) {
        result = WrongArgs("bx_file save ?saveAsFilename?");
        return Error;
    }
    const QByteArray failed = SavingFailed(form);
    try {
        if (argv.size() == 3)
            form.SaveAsTo(Ansi::ToUnicode(argv[2]));
        else
            form.Save1Click();
    } catch (const std::exception&) {
        result = failed;
        return Error;
    }
    if (form.Session.Modified()) {
        result = failed;
        return Error;
    }
    return Ok;
}

int Close(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    TMainForm& form = ctx.Form;
    if (argv.size() > 2) {
        result = NoArgs("bx_file close");
        return Error;
    }
    const QByteArray failed = SavingFailed(form);
    if (!SaveCurrent(form)) {
        result = failed;
        return Error;
    }
    form.CloseFile1Click();
    return Ok;
}

} // namespace

int BxFileCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    if (argv.size() < 2) {
        result = Ansi::FromUnicode(QDir::fromNativeSeparators(ctx.Form.Session.FileName()));
        return Ok;
    }
    const QByteArray& option = argv[1];
    if (option == "open") return Open(ctx, argv, result);
    if (option == "save") return Save(ctx, argv, result);
    if (option == "close") return Close(ctx, argv, result);
    result = BadOption(option, "open, close or save");
    return Error;
}
