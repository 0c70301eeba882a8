#pragma once
// The auto-replace engine: follows what the user types in other programs,
// key by key, keeps the word being typed and, when a keyword is ended by a
// delimiter, prepares its replacement for the typing engine. It talks to the
// main window only through TAutoReplaceServices and to the hint box and the
// suggestion window only through THintSink. UI thread only.
#include "tags/TrailingWord.h"
#include "typing/AutoreplKeys.h"
#include "typing/AutoreplServices.h"

#include <QByteArray>
#include <QString>
#include <bitset>
#include <cstdint>
#include <vector>

// Results of AutoReplaceKey and PerformReplacement.
namespace arresult {
constexpr int None = 0, Consumed = 1, Replaced = 2, CommandDone = 3;
} // namespace arresult

class TAutoReplaceEngine final : public TWordHistoryTarget {
public:
    static constexpr int MaxWordLength = 255;
    static constexpr int MaxHistory = 32;
    static constexpr uint16_t NoKey = 0xFFFF;

    // Neither is owned; a null sink stands for windows not made yet.
    explicit TAutoReplaceEngine(TAutoReplaceServices& services, THintSink* hint = nullptr);

    // Once, when auto-replace is first enabled: options 0x000D, keyboard
    // tables from the current layout, hint windows, an empty word.
    void InitEngine();
    bool Initialised() const { return initialised_; }
    void SetHintSink(THintSink* hint);
    void SetOptions(uint16_t options);
    uint16_t Options() const { return options_; }
    void SetMainWindow(const QString& dictionaryFileName, TAutoReplaceServices& services);
    // The main window's AutoReplaceChk changed (once start-up is over): the
    // main window's options with bit 0x0001 from the box, which it keeps.
    uint16_t AutoReplaceChkChanged(bool checked, uint16_t mainOptions,
                                   const QString& dictionaryFileName);
    // "AlphaChars": characters above code 32 are kept, lower-cased.
    void SetAlphaChars(const QByteArray& chars);
    void SetAltInsMinWordLength(int length) { altInsMinWordLength_ = length; }
    // After a change of the keyboard layout.
    void RebuildKeyboardTables();

    // A watched key went down; 1 when the key is consumed.
    int AutoReplaceKey(unsigned key, bool shift, bool ctrl, bool alt);
    // The key went up.
    void KeyReleased();
    // The consumed key is to be acted on: 2 with the text to type (the
    // erasing keys and the delimiter went through SetPrefixOrSuffix); 0 or,
    // when a command consumed the key, 3.
    int PerformReplacement(QByteArray& text);
    // A mouse click ended the word.
    void MouseReset();
    // The hook library asks for the previous key's character; a match forgets that key.
    unsigned char PreviousKeyChar(unsigned char c);
    // AfterTyping: the key left for a control of the program's own input
    // form; false when there is none. Forgets it.
    bool TakeControlKey(uint8_t& vkey, BxHwnd& control);
    // AfterTyping: refresh the hint from the word and show it again.
    void RefreshHintAfterTyping();

    void ResetWord(bool keepHistory);
    void PushWordAndReset();
    void PopWord();
    void UpdateHint();
    // The hint as UpdateHint leaves it, when a key that started a replacement
    // left it for later.
    void FlushHint();

    // TWordHistoryTarget, for FeedTrailingWord.
    bool IsKeywordChar(unsigned char c) const override;
    void AddHistoryWord(const QByteArray& word) override;

    // The word for the hot key and Alt+Ins; also kept as LastWord.
    QByteArray GetWord();
    QByteArray Word() const { return QByteArray(buffer_, length_); }
    QByteArray LastWord() const { return lastWord_; }
    // The keyword of the last successful lookup.
    QByteArray MatchedKeyword() const { return matchedKeyword_; }
    QByteArray AltInsWord() const { return altInsWord_; }
    QByteArray LastExpandedBuffer() const { return lastExpandedBuffer_; }
    QByteArray SeedText() const { return seedText_; }
    void SetSeedText(const QByteArray& seed) { seedText_ = seed; }
    int HistoryCount() const { return static_cast<int>(history_.size()); }
    bool ExpansionPending() const { return expansionPending_; }
    unsigned char KeyToChar(unsigned key, int state) const { return tables_.KeyToChar(key, state); }

private:
    struct THistoryWord {
        QByteArray word;
        bool flag;
    };
    struct TMatch {
        QByteArray keyword;
        QByteArray description;
        int index = -1;
    };

    void SetBuffer(const QByteArray& text);
    bool Append(unsigned char c);
    unsigned char Last() const { return static_cast<unsigned char>(buffer_[length_ - 1]); }
    bool KnownWord();
    bool LookupKeyword(bool withText, TMatch& match);
    bool TryMatch();
    bool MatchAtOpenEnd(TMatch& match);
    void CheckTarget(BxHwnd window);
    void ShowHintFor(BxHwnd window);
    // The steps for a key that went through the first checks.
    int KeywordCharKey(unsigned char ch);
    int PunctuationKey(unsigned char ch);
    int CommandKey(unsigned key, int state, uint16_t& sc);

    TAutoReplaceServices* services_;
    THintSink defaultHint_;
    THintSink* hint_;
    TKeyTables tables_;
    bool initialised_ = false;
    uint16_t options_ = 0;
    QByteArray alphaChars_;
    int altInsMinWordLength_ = 3;

    char buffer_[MaxWordLength + 1] = {};
    int length_ = 0;
    // Lengths at which the word also ends: a mark, or a character after
    // one, stayed in it only because a longer keyword begins that way.
    std::bitset<MaxWordLength + 1> openEnds_;
    std::vector<THistoryWord> history_;
    QByteArray seedText_;
    QByteArray trailText_;
    QByteArray matchedKeyword_;
    bool expansionPending_ = false;
    QByteArray expansion_;
    int eraseCount_ = 0;
    uint16_t pendingKey_ = 0;
    uint16_t previousKey_ = 0;
    uint16_t lastKeyAny_ = 0;
    BxHwnd currentTarget_ = 0;
    QByteArray lastWord_;
    QByteArray altInsWord_;
    QByteArray lastExpandedBuffer_;
    bool hintHasText_ = false;
    bool hintShown_ = false;
    bool hintStale_ = false;
    uint8_t controlKey_ = 0;
    BxHwnd keyControl_ = 0;
};
