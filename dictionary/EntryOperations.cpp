#include "dictionary/EntryOperations.h"

#include "dictionary/DictItem.h"
#include "dictionary/DictionarySession.h"
#include "dictionary/EntryClipboard.h"
#include "dictionary/EntryRules.h"
#include "platform/Ansi.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kMaxKeyword = 32;

QString ReadOnlyEntryMsg(const QByteArray& keyword) {
    return QStringLiteral("The entry with the keyword \"%1\"\nis marked READONLY and cannot be "
                          "removed..")
        .arg(Ansi::ToUnicode(keyword));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

TEntryOperations::TEntryOperations(TDictionarySession& session, TEntryHost& host)
    : session_(session), host_(host) {}

bool TEntryOperations::ValidRow(int row) const {
    return row >= 0 && row < session_.Dict().Count();
}

bool TEntryOperations::CanAdd() const {
    return ::CanAdd(session_, host_.InTab());
}

int TEntryOperations::BaseOptions() const {
    return editopt::All | (session_.Dict().GetRestricted() ? editopt::Restricted : 0);
}

void TEntryOperations::Propose(const QByteArray& keyword, const std::optional<QByteArray>& text) {
    proposedKeyword_ = keyword;
    proposedText_ = text;
}

bool TEntryOperations::Conflicts(int row, const QByteArray& keyword,
                                 const QByteArray& shortcutOwner, uint16_t shortcut) {
    const TTellUser tell = [this](const QString& m) { host_.ShowError(m); };
    return CheckKeyword(session_, row, keyword, tell) ||
           CheckShortcut(session_, host_.HotKey(), shortcutOwner, shortcut, tell);
}

bool TEntryOperations::EditUntilValid(TDictionaryItem& item, int options,
                                      const QString& captionWord, int row,
                                      const QByteArray& shortcutOwner) {
    for (;;) {
        host_.HideMainWindow();
        const bool ok = host_.EditEntry(item, options, captionWord);
        host_.ShowMainWindow();
        if (!ok) return false;
        const QByteArray owner = shortcutOwner.isNull() ? item.GetKeyword() : shortcutOwner;
        if (!Conflicts(row, item.GetKeyword(), owner, item.GetShortcut())) return true;
        // The editor opens again on what the user typed; OK needs a change.
        options &= ~editopt::OkEnabled;
    }
}

bool TEntryOperations::AddEntry(std::unique_ptr<TDictionaryItem> item, int* row) {
    if (FileIsReadOnly(session_.FileName())) {
        host_.ShowError(FileReadOnlyMsg(session_.FileName()));
        return false;
    }
    if (!CanAdd()) return false;
    int options = BaseOptions();
    if (proposedKeyword_) {
        item->SetKeyword(*proposedKeyword_);
        if (proposedText_) item->SetText(*proposedText_);
        proposedKeyword_.reset();
        proposedText_.reset();
        options |= editopt::OkEnabled;
    }
    if (!EditUntilValid(*item, options, QStringLiteral("Add"), -1, QByteArray())) return false;
    session_.SetModified(true);
    const int at = session_.Dict().Add(item.get());
    if (at < 0) return false;
    item.release();
    if (row) *row = at;
    return true;
}

int TEntryOperations::Replace(TDictionaryItem* old, std::unique_ptr<TDictionaryItem> edited) {
    TDictionaryList& dict = session_.Dict();
    dict.Remove(old);
    const int at = dict.Add(edited.get());
    if (at < 0) {
        // Never lose the entry: the old one goes back.
        dict.Add(old);
        return dict.IndexOfKeyword(old->GetKeyword());
    }
    edited.release();
    delete old;
    return at;
}

bool TEntryOperations::Modify(int current, int* row) {
    if (!ValidRow(current)) return false;
    TDictionaryItem* item = session_.Dict().GetItem(current);
    if (item->GetReadOnly() || item->GetLinked() != 0 || FileIsReadOnly(session_.FileName())) {
        View(current);
        return false;
    }
    auto copy = std::make_unique<TDictionaryItem>();
    copy->Assign(*item);
    if (!EditUntilValid(*copy, BaseOptions(), QStringLiteral("Modify"), current,
                        item->GetKeyword()))
        return false;
    session_.SetModified(true);
    const int at = Replace(item, std::move(copy));
    if (row) *row = at;
    return true;
}

void TEntryOperations::View(int current) {
    if (!ValidRow(current)) return;
    const TDictionaryItem* item = session_.Dict().GetItem(current);
    TDictionaryItem copy;
    copy.Assign(*item);
    QString caption = QStringLiteral("Read Only");
    if (item->GetLinked() != 0)
        caption +=
            QStringLiteral(" - Linked from ") + host_.LinkedSource(item->GetLinked()).toUpper();
    host_.HideMainWindow();
    // Nothing is editable, so the entry stays as it was whatever the answer.
    host_.EditEntry(copy, 0, caption);
    host_.ShowMainWindow();
}

bool TEntryOperations::Copy(int current, int top, int bottom) {
    std::vector<const TDictionaryItem*> items;
    if (top == bottom) {
        if (!ValidRow(current)) return false;
        items.push_back(session_.Dict().GetItem(current));
    } else {
        if (!ValidRow(top) || !ValidRow(bottom) || top > bottom) return false;
        for (int r = top; r <= bottom; ++r)
            items.push_back(session_.Dict().GetItem(r));
    }
    QString problem;
    const QByteArray block = EntryClipboard::Encode(items, &problem);
    if (block.isEmpty()) {
        host_.ShowError(problem);
        return false;
    }
    host_.PutEntries(block);
    return true;
}

bool TEntryOperations::Remove(int current, int top, int bottom) {
    if (!ValidRow(current) || !ValidRow(top) || !ValidRow(bottom) || top > bottom) return false;
    TDictionaryList& dict = session_.Dict();
    if (bottom > top) {
        if (!host_.Confirm(QStringLiteral("The %1 selected entries will be deleted and placed in "
                                          "the clipboard.\n\nAre you sure?\n")
                               .arg(bottom - top + 1)))
            return false;
        // Entries that are not on the clipboard are not cut.
        if (!Copy(current, top, bottom)) return false;
        session_.SetModified(true);
        bool removed = false;
        for (int r = bottom; r >= top; --r) {
            TDictionaryItem* item = dict.GetItem(r);
            if (CanRemove(session_, item)) {
                dict.Remove(item);
                delete item;
                removed = true;
            } else {
                host_.ShowError(ReadOnlyEntryMsg(item->GetKeyword()));
            }
        }
        return removed;
    }
    TDictionaryItem* item = dict.GetItem(current);
    if (!CanRemove(session_, item)) {
        host_.ShowError(ReadOnlyEntryMsg(item->GetKeyword()));
        return false;
    }
    if (!host_.Confirm(QStringLiteral("The entry with the keyword \"%1\"\nwill be deleted and "
                                      "placed in the clipboard.\n\nAre you sure?\n")
                           .arg(Ansi::ToUnicode(item->GetKeyword()))))
        return false;
    if (!Copy(current, current, current)) return false;
    session_.SetModified(true);
    dict.Remove(item);
    delete item;
    return true;
}

QByteArray TEntryOperations::NumberedKeyword(const QByteArray& keyword, int n) {
    QByteArray k = keyword;
    // A " (digits)" ending, with at least two characters before its blank.
    if (k.size() >= 5 && k.endsWith(')')) {
        qsizetype i = k.size() - 2;
        while (i >= 0 && IsDigit(k[i]))
            --i;
        const qsizetype digits = k.size() - 2 - i;
        if (digits >= 1 && i >= 3 && k[i] == '(' && k[i - 1] == ' ') k.truncate(i - 1);
    }
    const QByteArray suffix = " (" + QByteArray::number(n) + ")";
    return k.left(std::max<qsizetype>(kMaxKeyword - suffix.size(), 0)) + suffix;
}

int TEntryOperations::Paste(int* lastRow) {
    const std::optional<QByteArray> block = host_.Entries();
    if (!block) return 0;
    if (!CanAdd()) {
        // A read-only dictionary takes nothing in, as it takes no new entry.
        if (FileIsReadOnly(session_.FileName()))
            host_.ShowError(FileReadOnlyMsg(session_.FileName()));
        else
            host_.ShowError(QStringLiteral("This dictionary is marked READONLY and cannot be "
                                           "modified."));
        return 0;
    }
    EntryClipboard::TDecoded decoded = EntryClipboard::Decode(*block);
    TDictionaryList& dict = session_.Dict();
    int count = 0;
    QByteArray last;
    for (auto& item : decoded.Items) {
        item->SetKeyword(item->GetKeyword());
        if (item->GetKeyword().isEmpty()) continue;
        for (int n = 1;; ++n) {
            if (CheckShortcut(session_, host_.HotKey(), item->GetKeyword(), item->GetShortcut()))
                item->SetShortcut(0);
            if (!CheckKeyword(session_, -1, item->GetKeyword())) break;
            item->SetKeyword(NumberedKeyword(item->GetKeyword(), n));
        }
        item->SetReadOnly(false);
        item->SetLinked(0);
        if (dict.Add(item.get()) < 0) continue;
        last = item->GetKeyword();
        item.release();
        ++count;
    }
    session_.SetModified(true);
    if (!decoded.Problem.isEmpty()) host_.ShowError(decoded.Problem);
    if (lastRow) *lastRow = last.isNull() ? -1 : dict.IndexOfKeyword(last);
    return count;
}

bool TEntryOperations::Duplicate(int current, int* row) {
    if (!CanAdd() || !ValidRow(current)) return false;
    auto copy = std::make_unique<TDictionaryItem>();
    copy->Assign(*session_.Dict().GetItem(current));
    copy->SetLinked(0);
    copy->SetReadOnly(false);
    return AddEntry(std::move(copy), row);
}

TEntryCommandState TEntryOperations::CommandState(int current, int top, int bottom,
                                                  bool clipboardHasEntries) const {
    TEntryCommandState s;
    const bool entry = ValidRow(current);
    const bool several = bottom > top;
    s.Add = CanAdd();
    s.Modify = entry && !several;
    s.Remove = (entry && CanRemove(session_, session_.Dict().GetItem(current))) || several;
    s.Copy = entry;
    s.Paste = clipboardHasEntries && s.Add;
    s.Duplicate = s.Copy && s.Add && !several;
    return s;
}
