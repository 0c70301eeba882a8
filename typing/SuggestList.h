#pragma once
// What the suggestion window lists while the user types: up to nine entries
// of the open dictionary from the one nearest the typed word, each bound to a
// function key F1..F9 with the configured modifiers. No widgets: the window
// only shows Label(i), HeadLine() and NoSuggestions().
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class TDictionaryList;

class TSuggestionList {
public:
    static constexpr int LabelCount = 9;
    // The open dictionary may be replaced at any time; it is asked for on use.
    using TDictionarySource = std::function<const TDictionaryList*()>;

    TSuggestionList();

    void SetDictionarySource(TDictionarySource source) { source_ = std::move(source); }
    void SetEnabled(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; }
    // 1 gives nine rows; anything else three columns of three rows.
    void SetColumns(int columns);
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // "AutoComplete": two trailing commas list the nearest entries unbounded.
    void SetAutoComplete(bool on) { autoComplete_ = on; }
    // The extra keyword characters of "AlphaChars", lower-cased.
    void SetAlphaChars(const QByteArray& chars) { alphaChars_ = chars; }

    // shiftState: the modifier set, Shift 1, Alt 2, Ctrl 4.
    void BuildShortcuts(uint8_t shiftState);
    uint16_t Shortcut(int i) const { return shortcuts_[i]; }
    const QByteArray& ModifierPrefix() const { return modifierPrefix_; }
    // The hint of every suggestion label.
    const QString& ShortcutHint() const { return shortcutHint_; }

    // The engine's feed: the typed word (index -1), or the row of the entry
    // it recognised (typed empty).
    void UpdateSuggestions(const QByteArray& typed, int index);
    // Rebuilds the labels from TopIndex; also after a column change.
    void Refresh();

    // 0..8 for a key of a listed suggestion, else -1.
    int SuggestionIndexForShortcut(uint16_t code) const;
    // The keyword of that suggestion with the capitals typed; empty when none.
    QByteArray GetSuggestionKeyword(uint16_t code) const;
    // Keys that select a listed suggestion now (to be withheld from the target).
    std::vector<uint16_t> ListedShortcuts() const;

    int TopIndex() const { return topIndex_; }
    int SuggestionCount() const { return suggestionCount_; }
    int FoundIndex() const { return foundIndex_; }
    // Leading typed characters that are not part of the keyword; the engine
    // sets it for a recognised entry.
    int SkipCount() const { return skipCount_; }
    void SetSkipCount(int count) { skipCount_ = count; }
    const QByteArray& TypedPrefix() const { return typedPrefix_; }
    bool CompletionMode() const;

    // The line above the suggestions.
    const QByteArray& HeadLine() const { return headLine_; }
    // Text of the label at grid position i (row * Columns() + column).
    const QByteArray& Label(int i) const { return labels_[i]; }
    bool NoSuggestions() const { return suggestionCount_ == 0 && foundIndex_ < 0; }

private:
    const TDictionaryList* Dictionary() const;
    void ClearLabels();

    TDictionarySource source_;
    bool enabled_ = false;
    bool autoComplete_ = false;
    int columns_ = 3, rows_ = 3;
    QByteArray alphaChars_;
    std::array<uint16_t, LabelCount> shortcuts_{};
    QByteArray modifierPrefix_;
    QString shortcutHint_;

    int topIndex_ = -1;
    int suggestionCount_ = 0;
    int skipCount_ = 0;
    int foundIndex_ = -1;
    QByteArray typedPrefix_;
    QByteArray headText_; // bounds the listing: the prefix or the recognised keyword
    QByteArray headLine_;
    std::array<QByteArray, LabelCount> labels_;
};
