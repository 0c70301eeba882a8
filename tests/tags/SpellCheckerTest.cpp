#include "tags/SpellChecker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QStringList kSystemDirs = {QStringLiteral("/usr/share/hunspell")};

QStringList Words(QStringView text) {
    QStringList words;
    for (const TTextSpan& span : CheckedWords(text))
        words << text.mid(span.Start, span.Length).toString();
    return words;
}

void WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(SpellWords, TagsAddressesAndNumbersAreNotChecked) {
    EXPECT_EQ(Words(u"Dear {@INPUT(name) Your nmae}, thnks"), (QStringList{"Dear", "thnks"}));
    // Nested braces form one tag; a lone "{" is plain text.
    EXPECT_EQ(Words(u"a {@INPUT x {y} z} b { c"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Words(u"{@KEY ENTER}word{@TAB}"), QStringList{"word"});
    EXPECT_EQ(Words(u"mail me@example.com or https://exampl.org/pge"), (QStringList{"mail", "or"}));
    EXPECT_EQ(Words(u"abc123 first_name 42 don't ’tis l’été"),
              (QStringList{"don't", "tis", "l’été"}));
}

TEST(SpellWords, WholeWordOccurrencesSkipTagsAndLongerWords) {
    const QString text = QStringLiteral("teh {teh} tehx teh, xteh teh");
    const QList<TTextSpan> found = WholeWordOccurrences(text, QStringLiteral("teh"), 1);
    ASSERT_EQ(found.size(), 2); // the one cut by `from` and the tag are left out
    EXPECT_EQ(found[0].Start, text.indexOf(QStringLiteral("teh,")));
    EXPECT_EQ(found[1].Start, text.size() - 3);
}

TEST(SpellChecker, ChecksEnglishAndSuggests) {
    TSpellChecker checker(QStringLiteral("en_US"), kSystemDirs);
    ASSERT_TRUE(checker.Available()) << qPrintable(checker.UnavailableReason());
    EXPECT_EQ(checker.Language(), QStringLiteral("en_US"));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("Hello")));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("don’t")));
    EXPECT_FALSE(checker.IsCorrect(QStringLiteral("recieve")));
    EXPECT_TRUE(checker.Suggestions(QStringLiteral("recieve")).contains(QStringLiteral("receive")));
    // Tag words stand outside braces too, in any letter case.
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("SHORTDATE")));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("nospace")));

    const QString text = QStringLiteral("{@REM recieve} I recieve {@LONGDATE} teh mail");
    const auto first = checker.NextMisspelt(text, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Start, text.indexOf(QStringLiteral("I recieve")) + 2); // not the remark
    const auto second = checker.NextMisspelt(text, first->End());
    ASSERT_TRUE(second);
    EXPECT_EQ(text.mid(second->Start, second->Length), QStringLiteral("teh"));
    EXPECT_FALSE(checker.NextMisspelt(text, second->End()));
}

TEST(SpellChecker, LanguageFallsBackAndMissingDictionaryIsExplained) {
    TSpellChecker german(QStringLiteral("de_DE"), kSystemDirs);
    ASSERT_TRUE(german.Available());
    EXPECT_EQ(german.Language(), QStringLiteral("en_US"));

    QTemporaryDir empty;
    TSpellChecker none(QStringLiteral("en_US"), {empty.path()});
    EXPECT_FALSE(none.Available());
    EXPECT_TRUE(none.UnavailableReason().contains(QStringLiteral("hunspell-en-us")));
    EXPECT_TRUE(none.IsCorrect(QStringLiteral("recieve")));
    EXPECT_FALSE(none.NextMisspelt(u"recieve", 0));
    EXPECT_TRUE(none.Suggestions(QStringLiteral("recieve")).isEmpty());
}

TEST(SpellChecker, Latin1DictionaryIsReadInItsOwnCharacterSet) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("fr_XX.aff"), "SET ISO8859-1\nTRY aeiouéèï\n");
    WriteFile(dir.filePath("fr_XX.dic"), QByteArray("2\ncaf\xe9\nna\xefve\n"));
    // "fr" finds the only French dictionary whatever its country.
    TSpellChecker checker(QStringLiteral("fr"), {dir.path()});
    ASSERT_TRUE(checker.Available()) << qPrintable(checker.UnavailableReason());
    EXPECT_EQ(checker.Language(), QStringLiteral("fr_XX"));
    EXPECT_EQ(TSpellChecker::InstalledLanguages({dir.path()}), QStringList{"fr_XX"});
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("café")));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("naïve")));
    EXPECT_FALSE(checker.IsCorrect(QStringLiteral("cafe")));
    EXPECT_TRUE(checker.Suggestions(QStringLiteral("cafe")).contains(QStringLiteral("café")));
    // Not in Latin-1: the dictionary cannot hold it, so it is not reported.
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("Ωmega")));
}

TEST(SpellChecker, IgnoreAllAndPersonalListAcceptCapitalisedForms) {
    QTemporaryDir config;
    TSpellChecker checker(QStringLiteral("en_US"), kSystemDirs);
    EXPECT_TRUE(checker.LoadPersonalList(config.path()).isEmpty()); // no file yet
    checker.IgnoreAll(QStringLiteral("zorkle"));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("zorkle")));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("Zorkle")));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("ZORKLE")));
    EXPECT_FALSE(checker.IsCorrect(QStringLiteral("zORKLE")));

    QString error;
    ASSERT_TRUE(checker.AddToPersonalList(QStringLiteral("brevixo"), &error)) << qPrintable(error);
    ASSERT_TRUE(checker.AddToPersonalList(QStringLiteral("Ærøskøbing"), &error));
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("Brevixo")));
    EXPECT_EQ(ReadFile(config.filePath(TSpellChecker::PersonalListName)),
              QStringLiteral("brevixo\nÆrøskøbing\n").toUtf8());

    // A new run: the personal words come back, the ignored ones do not.
    TSpellChecker next(QStringLiteral("en_US"), kSystemDirs);
    EXPECT_TRUE(next.LoadPersonalList(config.path()).isEmpty());
    EXPECT_TRUE(next.IsCorrect(QStringLiteral("brevixo")));
    EXPECT_TRUE(next.IsCorrect(QStringLiteral("Ærøskøbing")));
    EXPECT_FALSE(next.IsCorrect(QStringLiteral("zorkle")));

    // Taking a word off the list never makes a dictionary word wrong.
    ASSERT_TRUE(next.SetPersonalWords({QStringLiteral("hello"), QStringLiteral("  ")}, &error));
    ASSERT_TRUE(next.SetPersonalWords({}, &error));
    EXPECT_TRUE(next.IsCorrect(QStringLiteral("hello")));
    EXPECT_FALSE(next.IsCorrect(QStringLiteral("brevixo")));
}

TEST(SpellChecker, DamagedPersonalListKeepsWhatWasReadable) {
    QTemporaryDir config;
    const QString path = config.filePath(TSpellChecker::PersonalListName);
    WriteFile(path, QByteArray("good\r\n\xff\xfe bad\ntwo words\n\nfine\n") + QByteArray(300, 'x') +
                        "\n");
    TSpellChecker checker(QStringLiteral("en_US"), kSystemDirs);
    const QString problem = checker.LoadPersonalList(config.path());
    EXPECT_TRUE(problem.contains(QStringLiteral("3 line(s)"))) << qPrintable(problem);
    EXPECT_EQ(checker.PersonalWords(), (QStringList{"good", "fine"}));

    // Saving keeps the unreadable lines for the user to mend.
    ASSERT_TRUE(checker.AddToPersonalList(QStringLiteral("added")));
    const QByteArray saved = ReadFile(path);
    EXPECT_TRUE(saved.startsWith("good\nfine\nadded\n"));
    EXPECT_TRUE(saved.contains("\xff\xfe bad\ntwo words\n"));
}

TEST(SpellChecker, PersonalListThatCannotBeReadOrWrittenIsReported) {
    QTemporaryDir config;
    ASSERT_TRUE(QDir(config.path()).mkdir(TSpellChecker::PersonalListName));
    TSpellChecker checker(QStringLiteral("en_US"), kSystemDirs);
    EXPECT_FALSE(checker.LoadPersonalList(config.path()).isEmpty());
    QString error;
    EXPECT_FALSE(checker.AddToPersonalList(QStringLiteral("qwzx"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("qwzx"))); // still accepted this run
}

TEST(SpellChecker, OtherEightBitCharacterSetsGoThroughConversion) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("pl_PL.aff"), "SET ISO8859-2\n");
    WriteFile(dir.filePath("pl_PL.dic"), QByteArray("1\n\xb3\xf3\x64\xbc\n")); // łódź
    TSpellChecker checker(QStringLiteral("pl_PL"), {dir.path()});
    ASSERT_TRUE(checker.Available()) << qPrintable(checker.UnavailableReason());
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("łódź")));
    EXPECT_FALSE(checker.IsCorrect(QStringLiteral("łodź")));
    EXPECT_TRUE(checker.Suggestions(QStringLiteral("łodź")).contains(QStringLiteral("łódź")));
}

TEST(SpellWords, AnyMixOfBracesAndMarksStaysInBoundsAndEnds) {
    const QString alphabet = QStringLiteral("ab{}@ '’1_\n.é");
    quint32 seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int length = int(next() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet[int(next() % alphabet.size())];
        qsizetype previousEnd = 0;
        for (const TTextSpan& span : CheckedWords(text)) {
            ASSERT_GE(span.Start, previousEnd) << qPrintable(text);
            ASSERT_GT(span.Length, 0);
            ASSERT_LE(span.End(), text.size());
            for (QChar c : text.mid(span.Start, span.Length))
                ASSERT_TRUE(c.isLetter() || c == QLatin1Char('\'') || c == QChar(0x2019))
                    << qPrintable(text);
            previousEnd = span.End();
        }
    }
}
