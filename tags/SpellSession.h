#pragma once
// One walk over the misspelt words of a text, as the spelling dialog drives
// it: each answer (ignore, change, add) moves on to the next word. The text
// changes only here; the edits are kept in order so that an editor can
// replay them as one undo step.
#include "tags/SpellChecker.h"

class TSpellSession {
public:
    // Replace Length characters at Start (in the text as it was just before).
    struct TEdit {
        qsizetype Start = 0;
        qsizetype Length = 0;
        QString Replacement;
        bool operator==(const TEdit&) const = default;
    };

    TSpellSession(TSpellChecker& checker, QString text);

    // Finds the first misspelt word still ahead; false when none is left.
    bool Next();
    bool Done() const { return !current_; }
    TTextSpan Current() const { return current_.value_or(TTextSpan{}); }
    QString Word() const;
    QStringList Suggestions() const;
    // The line around the current word, at most `radius` characters on
    // each side; the word's place inside it in *word.
    QString Context(qsizetype radius, TTextSpan* word) const;

    void Ignore();
    void IgnoreAll();
    void Change(const QString& replacement);
    // This and every later occurrence of the word, outside tags.
    void ChangeAll(const QString& replacement);
    // To the personal list; false with *error when it could not be saved
    // (the walk goes on: the word is accepted for this run).
    bool Add(QString* error = nullptr);

    const QString& Text() const { return text_; }
    const QList<TEdit>& Edits() const { return edits_; }

private:
    void Replace(TTextSpan span, const QString& replacement);

    TSpellChecker& checker_;
    QString text_;
    qsizetype position_ = 0;
    std::optional<TTextSpan> current_;
    QList<TEdit> edits_;
    QSet<QString> chosen_;
};
