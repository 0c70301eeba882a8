// bx_list: the entries of the current dictionary.
#include "dictionary/Dict.h"
#include "dictionary/DictionarySession.h"
#include "dictionary/EntryRules.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "script/BxArgs.h"
#include "script/BxCommandSet.h"
#include "script/BxCommands.h"
#include "script/ScriptHost.h"
#include "script/TclInterface.h"

#include <memory>

using namespace BxArgs;

namespace {

constexpr int Ok = TTclInterface::TclOk;
constexpr int Error = TTclInterface::TclError;

QByteArray Quoted(const QByteArray& text) {
    return "\"" + text + "\"";
}

QByteArray ReadOnly(const TDictionaryItem& item) {
    return "Keyword " + Quoted(item.GetKeyword()) + " is read-only";
}

QByteArray NotAShortcut(const QByteArray& text) {
    return Quoted(text) + " is not a valid shortcut code";
}

const QByteArray ShortcutInUse = "cannot add entry: shortcut is already in use";

class TList {
public:
    TList(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result)
        : ctx_(ctx), host_(ctx.Host), session_(ctx.Host.Session()), dict_(session_.Dict()),
          argv_(argv), result_(result) {}

    int Run();

private:
    int Fail(const QByteArray& message) {
        result_ = message;
        return Error;
    }
    // The entry named by argument 2; null with the message set otherwise.
    TDictionaryItem* Entry();
    void Changed(bool modified = true) {
        if (modified) session_.SetModified(true);
        ctx_.State.ListChanged();
    }
    int AddOrUpdate(bool update);
    int Text();
    int Shortcut();
    int Desc();
    int Remove();

    TBxContext& ctx_;
    TScriptHost& host_;
    TDictionarySession& session_;
    TDictionaryList& dict_;
    const QList<QByteArray>& argv_;
    QByteArray& result_;
};

TDictionaryItem* TList::Entry() {
    const QByteArray text = Arg(argv_, 2);
    const std::optional<int> row = ParseInt(text);
    if (!row || *row < 0) {
        result_ = "bad index " + Quoted(text) + ": must be a non-negative integer";
        return nullptr;
    }
    if (*row >= dict_.Count()) {
        result_ = "invalid index " + Quoted(text) + ": out of range";
        return nullptr;
    }
    return dict_.GetItem(*row);
}

int TList::AddOrUpdate(bool update) {
    const QByteArray command = update ? "update" : "add";
    if (argv_.size() < 4 || argv_.size() > 6)
        return Fail(
            WrongArgs("bx_list " + command + " keyword textToType ?description? ?shortcut?"));
    const QByteArray& keyword = argv_[2];
    // Blanks alone trim to no keyword: such an entry could never be typed.
    if (Ansi::Trim(keyword).isEmpty()) return Fail("cannot add entry: the keyword is empty");
    if (!CanAdd(session_, host_.HasDictionaryTab()))
        return Fail("cannot add entry: dictionary is read-only");
    uint16_t code = 0;
    if (argv_.size() == 6) {
        code = TextToKeyCode(argv_[5]);
        if (code == 0) return Fail(NotAShortcut(argv_[5]));
    }
    TDictionaryItem* existing = dict_.GetItem(dict_.IndexOfKeyword(keyword));
    if (existing && !update)
        return Fail("cannot add entry: keyword " + Quoted(keyword) + " already exists");
    if (existing && !CanRemove(session_, existing)) return Fail(ReadOnly(*existing));
    if (CheckShortcut(session_, host_.ProgramHotKey(), keyword, code)) return Fail(ShortcutInUse);

    auto item = std::make_unique<TDictionaryItem>();
    item->SetKeyword(keyword);
    item->SetText(Ansi::ToCrLf(Arg(argv_, 3)));
    item->SetDescription(Ansi::Trim(Arg(argv_, 4)));
    item->SetShortcut(code);
    // An entry the file cannot hold would make every later save fail.
    if (const QString problem = item->StorageProblem(); !problem.isEmpty())
        return Fail("cannot add entry: " + Ansi::FromUnicode(problem));

    std::unique_ptr<TDictionaryItem> replaced;
    if (existing) {
        dict_.Remove(existing);
        replaced.reset(existing);
    }
    const int index = dict_.Add(item.get());
    if (index < 0) {
        if (replaced) dict_.Add(replaced.release());
        result_ = QByteArray::number(index);
        return Error;
    }
    item.release();
    Changed();
    result_ = QByteArray::number(index);
    return Ok;
}

int TList::Text() {
    if (argv_.size() < 3 || argv_.size() > 4)
        return Fail(WrongArgs("bx_list text index ?textToType?"));
    TDictionaryItem* item = Entry();
    if (!item) return Error;
    if (argv_.size() == 4) {
        if (!CanRemove(session_, item)) return Fail(ReadOnly(*item));
        item->SetText(Ansi::ToCrLf(argv_[3]));
        Changed();
    }
    result_ = item->GetText();
    return Ok;
}

int TList::Shortcut() {
    if (argv_.size() < 3 || argv_.size() > 4)
        return Fail(WrongArgs("bx_list shortcut index ?shortcut?"));
    TDictionaryItem* item = Entry();
    if (!item) return Error;
    if (argv_.size() == 4) {
        if (!CanRemove(session_, item))
            return Fail("keyword " + Quoted(item->GetKeyword()) + " is read-only");
        const uint16_t code = TextToKeyCode(argv_[3]);
        if (code == 0) return Fail(NotAShortcut(argv_[3]));
        if (CheckShortcut(session_, host_.ProgramHotKey(), item->GetKeyword(), code))
            return Fail(ShortcutInUse);
        // Marked modified like every other change, or a switch would drop it.
        item->SetShortcut(code);
        Changed();
    }
    result_ = KeyCodeToText(item->GetShortcut());
    return Ok;
}

int TList::Desc() {
    if (argv_.size() < 3 || argv_.size() > 4)
        return Fail(WrongArgs("bx_list desc index ?description?"));
    TDictionaryItem* item = Entry();
    if (!item) return Error;
    if (argv_.size() == 4) {
        if (!CanRemove(session_, item)) return Fail(ReadOnly(*item));
        const QByteArray description = Ansi::Trim(argv_[3]);
        TDictionaryItem probe;
        probe.Assign(*item);
        probe.SetDescription(description);
        if (const QString problem = probe.StorageProblem(); !problem.isEmpty())
            return Fail(Ansi::FromUnicode(problem));
        item->SetDescription(description);
        Changed();
    }
    result_ = item->GetDescription();
    return Ok;
}

int TList::Remove() {
    if (argv_.size() != 3) return Fail(WrongArgs("bx_list remove index"));
    TDictionaryItem* item = Entry();
    if (!item) return Error;
    if (!CanRemove(session_, item)) return Fail(ReadOnly(*item));
    dict_.Remove(item);
    delete item;
    Changed();
    result_ = QByteArray::number(dict_.Count());
    return Ok;
}

int TList::Run() {
    if (argv_.size() < 2) return Fail(WrongArgs("bx_list option ?arg ...?"));
    const QByteArray& option = argv_[1];
    if (option == "add") return AddOrUpdate(false);
    if (option == "update") return AddOrUpdate(true);
    if (option == "length") {
        if (argv_.size() != 2) return Fail(NoArgs("bx_list length"));
        result_ = QByteArray::number(dict_.Count());
        return Ok;
    }
    if (option == "text") return Text();
    if (option == "shortcut") return Shortcut();
    if (option == "desc") return Desc();
    if (option == "remove") return Remove();
    if (option == "keyword" || option == "readonly") {
        if (argv_.size() != 3) return Fail(WrongArgs("bx_list " + option + " index"));
        const TDictionaryItem* item = Entry();
        if (!item) return Error;
        if (option == "keyword")
            result_ = item->GetKeyword();
        else
            result_ = CanRemove(session_, item) ? "0" : "1";
        return Ok;
    }
    if (option == "search") {
        if (argv_.size() != 3) return Fail(WrongArgs("bx_list search keyword"));
        result_ = QByteArray::number(dict_.IndexOfKeyword(argv_[2]));
        return Ok;
    }
    return Fail(BadOption(
        option, "add, desc, keyword, length, readonly, remove, search, shortcut or text"));
}

} // namespace

int BxListCommand(TBxContext& ctx, const QList<QByteArray>& argv, QByteArray& result) {
    return TList(ctx, argv, result).Run();
}
