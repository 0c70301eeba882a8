#include "tags/SpellSession.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Replays the edits as an editor would, one after the other.
QString Replayed(QString text, const QList<TSpellSession::TEdit>& edits) {
    for (const auto& edit : edits)
        text.replace(edit.Start, edit.Length, edit.Replacement);
    return text;
}

class SpellSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(checker.Available());
        checker.LoadPersonalList(config.path());
    }
    QTemporaryDir config;
    TSpellChecker checker{QStringLiteral("en_US"), {QStringLiteral("/usr/share/hunspell")}};
};
} // namespace

TEST_F(SpellSessionTest, EachAnswerMovesOnAndEditsReplay) {
    const QString original = QStringLiteral("teh cat {@REM teh} saw teh dgo, teh end. zqx zqx");
    TSpellSession session(checker, original);
    ASSERT_TRUE(session.Next());
    EXPECT_EQ(session.Word(), QStringLiteral("teh"));
    EXPECT_TRUE(session.Suggestions().contains(QStringLiteral("the")));
    session.Ignore(); // this one only
    EXPECT_EQ(session.Word(), QStringLiteral("teh"));
    EXPECT_EQ(session.Current().Start, original.indexOf(QStringLiteral("teh dgo")));
    session.ChangeAll(QStringLiteral("the")); // this and later, never the remark or the first
    EXPECT_EQ(session.Word(), QStringLiteral("dgo"));
    session.Change(QStringLiteral("dog"));
    EXPECT_EQ(session.Word(), QStringLiteral("zqx"));
    session.IgnoreAll();
    EXPECT_TRUE(session.Done());
    EXPECT_FALSE(session.Next());

    const QString expected = QStringLiteral("teh cat {@REM teh} saw the dog, the end. zqx zqx");
    EXPECT_EQ(session.Text(), expected);
    EXPECT_EQ(Replayed(original, session.Edits()), expected);
    EXPECT_TRUE(checker.IsCorrect(QStringLiteral("zqx")));
}

TEST_F(SpellSessionTest, ChangeToALongerOrMisspeltWordDoesNotLoop) {
    TSpellSession session(checker, QStringLiteral("wrd wrd"));
    ASSERT_TRUE(session.Next());
    session.ChangeAll(QStringLiteral("wrd wrd")); // still misspelt: not checked again
    EXPECT_TRUE(session.Done());
    EXPECT_EQ(session.Text(), QStringLiteral("wrd wrd wrd wrd"));
    EXPECT_EQ(session.Edits().size(), 2);
}

TEST_F(SpellSessionTest, AddSavesAndContextShowsTheLine) {
    TSpellSession session(checker, QStringLiteral("first line\nthe brevixo word here\nlast"));
    ASSERT_TRUE(session.Next());
    TTextSpan inContext;
    EXPECT_EQ(session.Context(100, &inContext), QStringLiteral("the brevixo word here"));
    EXPECT_EQ(inContext, (TTextSpan{4, 7}));
    EXPECT_EQ(session.Context(3, &inContext), QStringLiteral("he brevixo wo"));
    EXPECT_EQ(inContext, (TTextSpan{3, 7}));
    ASSERT_TRUE(session.Add());
    EXPECT_TRUE(session.Done());
    EXPECT_EQ(checker.PersonalWords(), QStringList{"brevixo"});
    EXPECT_TRUE(session.Edits().isEmpty());
}
