#pragma once
// Spelling of texts to type, over Hunspell. Tags in braces are never
// checked, and the words of the tag vocabulary are accepted wherever they
// stand. Beside the installed dictionary it keeps the words the user chose to
// ignore for this run and a personal word list in the configuration folder.
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

class Hunspell;
class TDictionaryCodec;

// A stretch of a text: [Start, Start + Length).
struct TTextSpan {
    qsizetype Start = 0;
    qsizetype Length = 0;
    qsizetype End() const { return Start + Length; }
    bool operator==(const TTextSpan&) const = default;
};

class TSpellChecker {
public:
    // The file of the personal word list inside the configuration folder.
    static const QString PersonalListName;
    // Longest word the checker looks at; longer runs of letters are left alone.
    static constexpr qsizetype MaxWordLength = 100;

    // language: a locale name such as "de_DE" or "de"; empty means the user's
    // locale. When no dictionary of that language is found, en_US is used.
    // dictionaryDirs empty means the places the system keeps Hunspell files.
    explicit TSpellChecker(const QString& language = {}, const QStringList& dictionaryDirs = {});
    ~TSpellChecker();
    TSpellChecker(const TSpellChecker&) = delete;
    TSpellChecker& operator=(const TSpellChecker&) = delete;

    bool Available() const { return hunspell_ != nullptr; }
    // Why Available() is false, in words for the user.
    QString UnavailableReason() const { return unavailableReason_; }
    // The dictionary in use ("en_US"), empty when none.
    QString Language() const { return language_; }

    // True for a word the dictionary, the personal list, the ignored words or
    // the tag vocabulary know. Always true while no dictionary is available.
    bool IsCorrect(const QString& word) const;
    QStringList Suggestions(const QString& word) const;

    // The next misspelt word at or after `from`, outside tags.
    std::optional<TTextSpan> NextMisspelt(QStringView text, qsizetype from) const;

    // Accepted for the rest of this run; never saved.
    void IgnoreAll(const QString& word);

    // The personal list: read from `folder` + PersonalListName. A missing
    // file is an empty list; unreadable lines are skipped, kept for the next
    // save, and counted in the returned message (empty when all was well).
    QString LoadPersonalList(const QString& folder);
    // The same reading on its own, for an options page.
    struct TPersonalList {
        QString Path;
        QStringList Words;
        QList<QByteArray> Unreadable;
        QString Problem;
    };
    static TPersonalList ReadPersonalList(const QString& folder);
    QString PersonalListPath() const { return personalPath_; }
    QStringList PersonalWords() const { return personalWords_; }
    // Adds the word and saves the list at once; false with *error set when
    // the file could not be written (the word is still accepted this run).
    bool AddToPersonalList(const QString& word, QString* error = nullptr);
    // Replaces the whole list (an options page edits it) and saves it.
    bool SetPersonalWords(const QStringList& words, QString* error = nullptr);

    // Languages with a dictionary in dictionaryDirs (or the system's places).
    static QStringList InstalledLanguages(const QStringList& dictionaryDirs = {});
    static QStringList DefaultDictionaryDirs();

    // The checker the windows share for the whole run, built on first use
    // with the user's locale and the configured folder.
    static TSpellChecker& Shared();
    // The configuration folder for the shared checker's personal list, and
    // its language (empty: the user's locale). Take effect on the next Shared().
    static void ConfigureShared(const QString& configFolder, const QString& language = {});

    // What went wrong reading the shared checker's personal list, once.
    QString TakeLoadProblem() { return std::exchange(loadProblem_, QString()); }

private:
    class TWordSet {
    public:
        void Insert(const QString& word);
        bool Contains(const QString& word) const;
        bool ContainsExactly(const QString& word) const { return exact_.contains(word); }
        void Clear();

    private:
        QSet<QString> exact_, upper_, title_;
    };

    bool Known(const QString& word) const;
    bool SavePersonalList(QString* error);

    std::unique_ptr<Hunspell> hunspell_;
    std::unique_ptr<TDictionaryCodec> codec_;
    QString language_;
    QString unavailableReason_;
    TWordSet ignored_;
    TWordSet personal_;
    QStringList personalWords_;
    QList<QByteArray> unreadableLines_;
    QString personalPath_;
    QString loadProblem_;
};

// The words of a text that are checked: runs of letters (with apostrophes
// inside), outside "{...}" tags; runs holding digits are left out.
QList<TTextSpan> CheckedWords(QStringView text);

// The same word standing whole at the places of a text where it is checked.
QList<TTextSpan> WholeWordOccurrences(QStringView text, const QString& word, qsizetype from = 0);
