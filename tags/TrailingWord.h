#pragma once
// Remembering the word an expansion ended with, so that the auto-replace
// engine can offer it again.
#include <QByteArray>

// Implemented by the auto-replace engine.
class TWordHistoryTarget {
public:
    virtual ~TWordHistoryTarget() = default;
    virtual bool IsKeywordChar(unsigned char c) const = 0;
    virtual void AddHistoryWord(const QByteArray& word) = 0;
};

// text: the playback text handed to the hook, ending with the delimiter typed
// after the expansion (a character or a key code). The keyword characters
// before the delimiter form the word; KeptChar, the expansion's first
// character left in place on screen, is put in front when the word reaches
// back to the start of the typed text, and is then cleared.
void FeedTrailingWord(const QByteArray& text, TWordHistoryTarget& target, unsigned char& KeptChar);
