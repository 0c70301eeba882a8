// Input tags: kinds, names, prompts, options, pick-list items and value blocks.
#include "tags/InputFields.h"

#include <gtest/gtest.h>

namespace {

TInputField P(const char* tag) {
    return ParseInputTag(QString::fromLatin1(tag));
}

QStringList Shown(const QList<TPickItem>& items) {
    QStringList out;
    for (const auto& i : items)
        out << i.Shown;
    return out;
}

} // namespace

TEST(InputFields, KindsFollowThePrefixInOrderAndIgnoreCase) {
    EXPECT_EQ(InputTagKind(u"{@INPUT Name}"), TInputKind::Text);
    EXPECT_EQ(InputTagKind(u"{@input Pick\r\na\r\nb}"), TInputKind::PickList);
    EXPECT_EQ(InputTagKind(u"{@InputDate When}"), TInputKind::Date);
    EXPECT_EQ(InputTagKind(u"{@INPUTFILE x.txt}"), TInputKind::File);
    EXPECT_EQ(InputTagKind(u"{@INPUTTCL expr 1}"), TInputKind::Tcl);
    EXPECT_EQ(InputTagKind(u"{@INPUTMSG hi}"), TInputKind::Message);
    EXPECT_EQ(InputTagKind(u"{@INPUTDATE(d) a\r\nb}"), TInputKind::Date); // CR does not matter
    EXPECT_EQ(InputTagKind(u"{@INPUTS x}"), TInputKind::Text);
    EXPECT_EQ(InputTagKind(u"{@KEY F1}"), TInputKind::None);
}

TEST(InputFields, NamesAndPrompts) {
    TInputField f = P("{@INPUT( City ) Where do you live? }");
    EXPECT_EQ(f.Name, "City");
    EXPECT_EQ(f.Prompt, "Where do you live?");
    f = P("{@INPUT Plain prompt\r\nsecond}");
    EXPECT_EQ(f.Name, "");
    EXPECT_EQ(f.Prompt, "Plain prompt");
    // A name cut by the end of the line: the prompt goes on from there.
    f = P("{@INPUT(Unclosed\r\nitem}");
    EXPECT_EQ(f.Name, "Unclosed");
    EXPECT_EQ(f.ItemLines, QStringList{"item"});
    // Date and file prompts may span lines.
    f = P("{@INPUTDATE(When) Pick\r\n a day}");
    EXPECT_EQ(f.Name, "When");
    EXPECT_EQ(f.Prompt, "Pick  a day");
    EXPECT_EQ(P("{@INPUTFILE \"notes.txt\" @ONSHOW=\"set x 1\"}").Prompt, "\"notes.txt\"");
    EXPECT_EQ(P("{@INPUTTCL  set a {b}  }").Script, "set a {b}");
    EXPECT_EQ(P("{@INPUTMSG(x) Read me}").Script, "(x) Read me");
    // A truncated tag does not read past its end.
    EXPECT_EQ(P("{@INPUT(").Name, "");
    EXPECT_EQ(P("{@INPUTDATE").Prompt, "");
}

TEST(InputFields, OptionsAreTakenOnceWithCaseAndRemoved) {
    TInputField f = P("{@INPUT @WANTRETURNS Address @ONSHOW=\"bx_input show 1\" tail}");
    EXPECT_TRUE(f.WantReturns);
    EXPECT_EQ(f.OnShow, "bx_input show 1");
    EXPECT_EQ(f.Prompt, "Address tail");
    f = P("{@INPUT Pick @single @SEP=\" / \"\r\na}");
    EXPECT_FALSE(f.Single);
    EXPECT_EQ(f.Prompt, "Pick @single");
    EXPECT_EQ(f.Separator, " / ");
    f = P("{@INPUT Pick @SINGLE @GROUPBOLD @AUTONUMBER\r\na}");
    EXPECT_TRUE(f.Single && f.GroupBold && f.Groups && f.AutoNumber);
    EXPECT_FALSE(f.GroupPrint);
    EXPECT_EQ(f.Separator, "");
    EXPECT_EQ(P("{@INPUT Pick\r\na}").Separator, ", ");
    EXPECT_TRUE(P("{@INPUT P @GROUPPRINT\r\na}").Groups);
    EXPECT_TRUE(P("{@INPUTDATE D @LONG}").Long);
    // Only the first of two is taken; the second stays in the prompt.
    EXPECT_EQ(P("{@INPUTDATE D @LONG @LONG}").Prompt, "D @LONG");
    // A value without its closing quote is no value.
    f = P("{@INPUT Q @ONSHOW=\"never closed}");
    EXPECT_EQ(f.OnShow, "");
}

TEST(InputFields, PickItemsWithHeadersRemarksAndNumbers) {
    TInputField f = P("{@INPUT Who @GROUP @AUTONUMBER\r\n*Customers\r\nACME Corp{@REM Customer "
                      "A}\r\nBeta\r\n*Staff\r\nAnn}");
    const QList<TPickItem> items = PickItems(f);
    EXPECT_EQ(Shown(items),
              (QStringList{"Customers", "1. Customer A", "2. Beta", "Staff", "3. Ann"}));
    EXPECT_TRUE(items[0].Header);
    EXPECT_EQ(items[1].Value, "ACME Corp");
    // Without groups a star is an ordinary character.
    EXPECT_EQ(PickItems(P("{@INPUT x\r\n*a}"))[0].Value, "*a");
    EXPECT_FALSE(PickItems(P("{@INPUT x\r\n*a}"))[0].Header);
    EXPECT_EQ(PickItems(P("{@INPUT x\r\n}")).size(), 1);
}

TEST(InputFields, PickListValues) {
    TInputField f = P("{@INPUT Food @GROUPPRINT\r\n*Fruit: \r\napple\r\npear\r\n*Veg: \r\nleek}");
    QList<TPickItem> items = PickItems(f);
    QByteArray v = PickListValue(items, f, {4, 1, 0});
    EXPECT_EQ(ValueText(v), "Fruit: apple, Veg: leek");
    EXPECT_EQ(PickListIndexes(v, items.size()), (QList<int>{1, 4}));
    EXPECT_EQ(v.size(), 24 + 4);
    EXPECT_EQ(PickListIndexes(v, 3), QList<int>{1}); // beyond the list: dropped
    TInputField single = P("{@INPUT One @SINGLE\r\na\r\nb}");
    EXPECT_EQ(ValueText(PickListValue(PickItems(single), single, {1})), "b");
    TInputField multi = P("{@INPUT Many\r\na\r\nb\r\nc}");
    EXPECT_EQ(ValueText(PickListValue(PickItems(multi), multi, {2, 0})), "a, c");
    EXPECT_EQ(PickListIndexes(QByteArray("x"), 5), QList<int>{}); // no NUL
}

TEST(InputFields, DateValuesKeepFormatAndDay) {
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const QDate d(2026, 3, 2);
    const QByteArray v = DateValue(d, true, en);
    EXPECT_EQ(ValueText(v), en.toString(d, QLocale::LongFormat));
    QDate back;
    bool isLong = false;
    ASSERT_TRUE(ReadDateValue(v, back, isLong));
    EXPECT_EQ(back, d);
    EXPECT_TRUE(isLong);
    // 1 January 1900 is day 2 of the old calendar count.
    const QByteArray s = DateValue(QDate(1900, 1, 1), false, en);
    EXPECT_EQ(s.right(9).left(1), "S");
    EXPECT_EQ(s.right(8), QByteArray::fromHex("0000000000000040"));
    EXPECT_FALSE(ReadDateValue(TextValue("text only"), back, isLong));
    QByteArray absurd = TextValue("x") + "L" + QByteArray::fromHex("000000000000F07F"); // inf
    EXPECT_FALSE(ReadDateValue(absurd, back, isLong));
}

TEST(InputFields, FindsTagsWithTheirBraceAndFileNames) {
    const QString t = "a {@INPUT b {@input(c) d}";
    const TTagSpan s = FindInputTag(t);
    EXPECT_EQ(s.Start, 12);
    EXPECT_EQ(s.End, t.size() - 1);
    EXPECT_EQ(FindInputTag(u"{@INPUT never closed").Start, -1);
    EXPECT_EQ(InputFilePath("\"x.txt\"", "/d"), "/d/x.txt");
    EXPECT_EQ(InputFilePath("/abs/x.txt", "/d"), "/abs/x.txt");
    EXPECT_EQ(InputFilePath("sub\\x.txt", "/d"), "sub/x.txt");
    EXPECT_EQ(TclResultCode("BX_BACK"), nav::Back);
    EXPECT_EQ(TclResultCode("BX_RESTART"), nav::Restart);
    EXPECT_EQ(TclResultCode("BX_CANCEL"), nav::Cancel);
    EXPECT_EQ(TclResultCode("bx_back"), nav::Next);
}

TEST(InputFields, PlaceholdersHideAndRestoreTags) {
    QString text = "a {@INPUT(x) X} b {@INPUTDATE D} {@INPUT open c {@inputmsg m}";
    const QString original = text;
    TKeptTags kept;
    HideInputTags(text, 4, kept);
    EXPECT_EQ(text, "a {@INPUT FIELD #4} b {@INPUT FIELD #5} {@INPUT open c {@INPUT FIELD #6}");
    // A placeholder reads as a tag itself: hiding twice loses nothing.
    TKeptTags again;
    QString copy = text;
    HideInputTags(copy, 1, again);
    EXPECT_EQ(again.Tags.size(), 3);
    RestoreInputTags(copy, again);
    EXPECT_EQ(copy, text);
    // The user deleted one placeholder: the others still come back.
    text.remove(text.indexOf("{@INPUT FIELD #5}"), 17);
    RestoreInputTags(text, kept);
    EXPECT_EQ(text, "a {@INPUT(x) X} b  {@INPUT open c {@inputmsg m}");
    EXPECT_TRUE(kept.Tags.isEmpty());
}
