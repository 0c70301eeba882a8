#pragma once
// The entry commands of the main window: add, modify, view, cut, copy, paste
// and duplicate, with the checks they share. The windows they need (the entry
// editor, questions, the clipboard) are reached through TEntryHost, so the
// commands run headless in tests.
#include "dictionary/EntryEditOptions.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class TDictionaryItem;
class TDictionarySession;

class TEntryHost {
public:
    virtual ~TEntryHost() = default;
    // The entry editor on item, with its caption word; true on OK, after
    // which item holds what was editable.
    virtual bool EditEntry(TDictionaryItem& item, int options, const QString& captionWord) = 0;
    // The main window steps aside while the editor is open.
    virtual void HideMainWindow() {}
    virtual void ShowMainWindow() {}
    virtual void ShowError(const QString& message) = 0;
    // Yes and No, No the default; true on Yes.
    virtual bool Confirm(const QString& message) = 0;
    virtual void PutEntries(const QByteArray& block) = 0;
    virtual std::optional<QByteArray> Entries() const = 0;
    virtual uint16_t HotKey() const = 0;
    // A dictionary is open in a tab.
    virtual bool InTab() const = 0;
    // The file a linked entry comes from; empty when unknown.
    virtual QString LinkedSource(uint8_t /*linked*/) const { return {}; }
};

// Which entry commands apply.
struct TEntryCommandState {
    bool Add = false, Modify = false, Remove = false, Copy = false, Paste = false,
         Duplicate = false;
};

class TEntryOperations {
public:
    TEntryOperations(TDictionarySession& session, TEntryHost& host);

    // Rows are list rows. current is the entry shown (-1 none); top and bottom
    // the selected rows (both current when a single row is selected).

    // Edits and adds item; true when added, with its row in row.
    bool AddEntry(std::unique_ptr<TDictionaryItem> item, int* row = nullptr);
    // Edits the current entry, or shows it read-only; true when it changed.
    bool Modify(int current, int* row = nullptr);
    // The entry in the editor without any change.
    void View(int current);
    // Cuts the selected entries to the clipboard; true when any was removed.
    bool Remove(int current, int top, int bottom);
    // Puts the current or the selected entries on the clipboard.
    bool Copy(int current, int top, int bottom);
    // Adds the clipboard's entries; the number added, with the last one's row.
    int Paste(int* lastRow = nullptr);
    // Opens the editor on a copy of the current entry, to be added anew.
    bool Duplicate(int current, int* row = nullptr);

    // A quick-add proposal: the next AddEntry starts from it.
    void Propose(const QByteArray& keyword, const std::optional<QByteArray>& text);
    bool HasProposal() const { return proposedKeyword_.has_value(); }
    void ClearProposal() {
        proposedKeyword_.reset();
        proposedText_.reset();
    }

    TEntryCommandState CommandState(int current, int top, int bottom,
                                    bool clipboardHasEntries) const;

    bool CanAdd() const;
    int BaseOptions() const;
    // The keyword with a free " (n)" ending in place of any it had, in 32 characters.
    static QByteArray NumberedKeyword(const QByteArray& keyword, int n);

private:
    bool ValidRow(int row) const;
    bool Conflicts(int row, const QByteArray& keyword, const QByteArray& shortcutOwner,
                   uint16_t shortcut);
    bool EditUntilValid(TDictionaryItem& item, int options, const QString& captionWord, int row,
                        const QByteArray& shortcutOwner);
    int Replace(TDictionaryItem* old, std::unique_ptr<TDictionaryItem> edited);

    TDictionarySession& session_;
    TEntryHost& host_;
    std::optional<QByteArray> proposedKeyword_;
    std::optional<QByteArray> proposedText_;
};
