#include "tags/SpellSession.h"

#include <algorithm>

TSpellSession::TSpellSession(TSpellChecker& checker, QString text)
    : checker_(checker), text_(std::move(text)) {}

bool TSpellSession::Next() {
    for (;;) {
        current_ = checker_.NextMisspelt(text_, position_);
        if (!current_ || !chosen_.contains(Word())) break;
        position_ = current_->End();
    }
    if (current_) position_ = current_->Start;
    return current_.has_value();
}

QString TSpellSession::Word() const {
    return current_ ? text_.mid(current_->Start, current_->Length) : QString();
}

QStringList TSpellSession::Suggestions() const {
    return current_ ? checker_.Suggestions(Word()) : QStringList();
}

QString TSpellSession::Context(qsizetype radius, TTextSpan* word) const {
    if (!current_) {
        if (word) *word = {};
        return {};
    }
    const auto isBreak = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
    qsizetype start = current_->Start;
    while (start > 0 && !isBreak(text_[start - 1]) && current_->Start - start < radius)
        --start;
    qsizetype end = current_->End();
    while (end < text_.size() && !isBreak(text_[end]) && end - current_->End() < radius)
        ++end;
    if (word) *word = {current_->Start - start, current_->Length};
    return text_.mid(start, end - start);
}

void TSpellSession::Replace(TTextSpan span, const QString& replacement) {
    text_.replace(span.Start, span.Length, replacement);
    edits_.append({span.Start, span.Length, replacement});
    // The user's own choice is not questioned again in this walk.
    for (const TTextSpan& word : CheckedWords(replacement))
        chosen_.insert(replacement.mid(word.Start, word.Length));
}

void TSpellSession::Ignore() {
    if (!current_) return;
    position_ = current_->End();
    Next();
}

void TSpellSession::IgnoreAll() {
    if (!current_) return;
    checker_.IgnoreAll(Word());
    position_ = current_->End();
    Next();
}

void TSpellSession::Change(const QString& replacement) {
    if (!current_) return;
    Replace(*current_, replacement);
    position_ = current_->Start + replacement.size();
    Next();
}

void TSpellSession::ChangeAll(const QString& replacement) {
    if (!current_) return;
    const QString word = Word();
    const QList<TTextSpan> later = WholeWordOccurrences(text_, word, current_->Start);
    // From the end, so earlier places stay where they were.
    for (auto it = later.rbegin(); it != later.rend(); ++it)
        Replace(*it, replacement);
    position_ = current_->Start + replacement.size();
    Next();
}

bool TSpellSession::Add(QString* error) {
    if (!current_) return true;
    const bool saved = checker_.AddToPersonalList(Word(), error);
    position_ = current_->End();
    Next();
    return saved;
}
