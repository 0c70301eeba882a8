// The field process: answers in place of tags and references, Back, Restart,
// preview, the step limit, and sessions in and out.
#include "InputTestDoubles.h"
#include "tags/InputScripts.h"
#include "tags/InputSession.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int Drive(TBXInputList& list, TFakeEdit& edit, TScriptedUi& ui) {
    list.SetUi(&ui);
    return list.Run(edit);
}

class TFakeScripts : public TInputScripts {
public:
    QByteArrayList Procs;
    QByteArrayList Evaluated;
    QByteArray Reply;
    bool Ok = true;
    QByteArray last_;
    bool Eval(const QByteArray& s) override {
        Evaluated << s;
        if (s.startsWith("info procs ")) {
            last_ = Procs.contains(s.mid(11)) ? s.mid(11) : QByteArray();
            return true;
        }
        last_ = Reply;
        return Ok;
    }
    QByteArray GetResult() override { return last_; }
    QByteArray GetErrorInfo() override { return "trace"; }
};

class TFakeDialogs : public TSessionDialogs {
public:
    QString SaveName, OpenName, Folder, StartedIn;
    QStringList Errors;
    QString AskSaveFile(const QString& f) override {
        StartedIn = f;
        return SaveName;
    }
    QString AskOpenFile(const QString& f) override {
        StartedIn = f;
        return OpenName;
    }
    void ShowError(const QString&, const QString& t) override { Errors << t; }
    QString SessionFolder() override { return Folder; }
    void SetSessionFolder(const QString& f) override { Folder = f; }
    QString DictionaryFolder() override { return "/dict"; }
};

} // namespace

TEST(InputList, FormLetterFillsFieldsAndReferences) {
    TFakeEdit edit("Dear {@INPUT(Name) Name?},\r\nyou live in {@INPUT(City) Where?} ({CITY}, "
                   "{city}); {Nobody} stays.\r\n{@INPUTMSG Thanks}{@INPUT Name}{@INPUT Name}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("Ann"), Answer("Oslo"), Press(nav::Next), Answer("x"), Answer("y")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    EXPECT_EQ(edit.Text(), "Dear Ann,\r\nyou live in Oslo (Oslo, Oslo); {Nobody} stays.\r\nxy");
    EXPECT_EQ(ui.Kinds, (QList<TInputKind>{TInputKind::Text, TInputKind::Text, TInputKind::Message,
                                           TInputKind::Text, TInputKind::Text}));
    EXPECT_EQ(list.TextFieldCount, 4);
    EXPECT_TRUE(list.Interactive());
    EXPECT_EQ(ui.Finishes, 1);
    EXPECT_EQ(list.Count(), 6); // one more waits empty after the last
}

TEST(InputList, AnswerHoldingItsOwnReferenceDoesNotLoop) {
    TFakeEdit edit("{@INPUT(a) A} {a} {a}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("<{a}>")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    // References are looked for from the start, the answer included, and
    // each search goes on after what it put in.
    EXPECT_EQ(edit.Text(), "<<{a}>> <{a}> <{a}>");
}

TEST(InputList, ReferencesPerStepAndTheSessionSizeAreBounded) {
    // One step fills in at most MaxReferences references; the rest stay.
    TFakeEdit edit("{@INPUT(a) A}" + QString("{a}").repeated(1500));
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("x")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    EXPECT_EQ(edit.Text(), QString("x").repeated(TBXInputList::MaxReferences + 1) +
                               QString("{a}").repeated(1500 - TBXInputList::MaxReferences));

    // Answers that bring their own tag and references back grow the text at
    // every step: the run stops at the session's size, long before the step
    // limit, with what was filled in so far.
    const QString grows = "{@INPUT(A) a}{A}{A}";
    TFakeEdit growing(grows);
    TBXInputList list2;
    TScriptedUi ui2;
    for (int i = 0; i < 300; ++i)
        ui2.Steps.push_back(Answer(grows));
    EXPECT_EQ(Drive(list2, growing, ui2), nav::TooMany);
    EXPECT_LT(ui2.Kinds.size(), TBXInputList::MaxSteps);
    qsizetype held = 0;
    for (const auto& item : list2.Items)
        held += item->TextSnapshot.size();
    EXPECT_LE(held, TBXInputList::MaxSessionBytes);
    EXPECT_GT(held + growing.Text().size(), TBXInputList::MaxSessionBytes);
    EXPECT_GT(growing.Text().size(), 1000 * grows.size());
}

TEST(InputList, BackSkipsFileAndTclFieldsAndOffersThePreviousAnswer) {
    TFakeEdit edit("{@INPUT One}|{@INPUTFILE f.txt}|{@INPUTTCL expr 1}|{@INPUT Three}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("1"),
                Answer("file"),
                Answer("tcl"),
                Press(nav::Back),
                [](TAsked& a) {
                    EXPECT_EQ(ValueText(a.Value), "1");
                    a.Value = TextValue("uno");
                    return nav::Next;
                },
                Answer("F"),
                Answer("T"),
                Answer("3")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    EXPECT_EQ(edit.Text(), "uno|F|T|3");
    EXPECT_EQ(list.FileFieldCount, 2);
}

TEST(InputList, RestartAndPreviewGoBackToTheSnapshot) {
    TFakeEdit edit("{@INPUT(n) A} {@INPUT B} {@INPUT C} {n}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("a"),         Answer("b"), Answer("c?", nav::Preview),
                Press(nav::Restart), Answer("A"), Answer("B"),
                Answer("C")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    ASSERT_EQ(ui.Previews.size(), 1);
    EXPECT_EQ(ui.Previews[0], "a b c? a");
    EXPECT_EQ(ui.PreviewCaret, 4);
    EXPECT_EQ(edit.Text(), "A B C A");
    // The restarted third field got its preview answer offered back.
    EXPECT_EQ(ValueText(ui.Offered[4]), "a");
}

TEST(InputList, CancelAndTheStepLimitEndTheRun) {
    TFakeEdit edit("{@INPUT A} {@INPUT B}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("a"), Press(nav::Cancel)};
    EXPECT_EQ(Drive(list, edit, ui), nav::Cancel);
    EXPECT_EQ(edit.Text(), "a {@INPUT B}");

    // A file that includes itself.
    TFakeEdit loop("{@INPUTFILE self}");
    TBXInputList list2;
    TScriptedUi ui2;
    for (int i = 0; i < 300; ++i)
        ui2.Steps.push_back(Answer("{@INPUTFILE self}"));
    EXPECT_EQ(Drive(list2, loop, ui2), nav::TooMany);
    EXPECT_EQ(ui2.Kinds.size(), TBXInputList::MaxSteps + 1);
}

TEST(InputList, AnUndecidedFieldEndsTheRunWhenTheProgramCloses) {
    TFakeEdit edit("{@INPUT A}");
    TBXInputList list;
    TScriptedUi ui;
    ui.Closing_ = true;
    ui.Steps = {Press(nav::Undecided)};
    EXPECT_EQ(Drive(list, edit, ui), nav::Cancel);
}

TEST(InputList, UnclosedTagIsNoField) {
    TFakeEdit edit("{@INPUT open {@INPUT B} tail");
    TBXInputList list;
    TScriptedUi ui;
    ui.Steps = {Answer("b")};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    EXPECT_EQ(edit.Text(), "{@INPUT open b tail");
}

namespace {

// A list that has asked two fields and waits at the second.
void HalfFilled(TBXInputList& list, TFakeEdit& edit) {
    TScriptedUi ui;
    ui.Steps = {Answer("Ann"), Press(nav::Cancel)};
    Drive(list, edit, ui);
    list.Current = 1;
}

} // namespace

TEST(InputSession, StreamRoundTripAndHex) {
    TFakeEdit edit("Hi {@INPUT(N) Name}, {@INPUTDATE When} {N}");
    TBXInputList list;
    HalfFilled(list, edit);
    const QByteArray data = SessionData(list, QString("shown text"));
    const QByteArray hex = SessionToHex(data);
    EXPECT_EQ(hex.back(), '\0');
    EXPECT_EQ(hex.left(8), "04000000");
    QByteArray back;
    ASSERT_TRUE(SessionFromHex(hex, back, nullptr));
    EXPECT_EQ(back, data);
    TBXInputList restored;
    QString why;
    ASSERT_TRUE(RestoreSessionData(back, restored, &why)) << why.toStdString();
    EXPECT_EQ(restored.Count(), list.Count());
    EXPECT_EQ(restored.Current, 1);
    EXPECT_EQ(restored.RestoredText, "shown text");
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(restored.Items[i]->Kind, list.Items[i]->Kind);
        EXPECT_EQ(restored.Items[i]->TagText, list.Items[i]->TagText);
        EXPECT_EQ(restored.Items[i]->Value, list.Items[i]->Value);
        EXPECT_EQ(restored.Items[i]->TextSnapshot, list.Items[i]->TextSnapshot);
        EXPECT_EQ(restored.Items[i]->Owner, &restored);
    }
    // Without a text part the process goes on from the current field's snapshot.
    TBXInputList noText;
    ASSERT_TRUE(RestoreSessionData(SessionData(list, std::nullopt), noText, nullptr));
    EXPECT_EQ(noText.RestoredText, "");
}

TEST(InputSession, MalformedSessionsAreRefusedAndTheListKept) {
    TFakeEdit edit("Hi {@INPUT(N) Name}, {@INPUT Two}");
    TBXInputList good;
    HalfFilled(good, edit);
    const QByteArray data = SessionData(good, QString("text"));
    const QByteArray listOnly = good.SaveToStream();

    auto refused = [&](const QByteArray& bad, const char* what) {
        TBXInputList target;
        TFakeEdit e("{@INPUT Keep}");
        TScriptedUi ui;
        ui.Steps = {Press(nav::Cancel)};
        Drive(target, e, ui);
        const QByteArray before = target.SaveToStream();
        QString why;
        EXPECT_FALSE(RestoreSessionData(bad, target, &why)) << what;
        EXPECT_FALSE(why.isEmpty()) << what;
        EXPECT_EQ(target.SaveToStream(), before) << what;
        // The one-pass reader of files refuses the same, with the same reason
        // (nothing at all is an empty session to it).
        QString hexWhy;
        EXPECT_FALSE(RestoreSessionHex(SessionToHex(bad), target, &hexWhy)) << what;
        if (!bad.isEmpty()) {
            EXPECT_EQ(hexWhy, why) << what;
        }
        EXPECT_EQ(target.SaveToStream(), before) << what;
    };
    for (qsizetype cut = 0; cut < listOnly.size(); cut += 3)
        refused(data.left(cut), "cut short");
    refused(data.left(data.size() - 1), "text cut short");
    refused(data + "x", "text longer than announced");
    QByteArray b = data;
    b[0] = 5;
    refused(b, "format tag");
    b = data;
    b[8] = 0; // count 0
    refused(b, "no fields");
    b = data;
    b[8] = static_cast<char>(0xFF);
    b[9] = static_cast<char>(0xFF);
    refused(b, "count larger than the data");
    b = data;
    b[16] = 9; // current
    refused(b, "current out of range");
    b = data;
    b[4] = 8; // size word
    refused(b, "size word");
    b = data;
    b[28] = 7; // kind of item 0
    refused(b, "unknown kind");
    // A tag that is not in its own snapshot: another text's session.
    TBXInputList mixed;
    HalfFilled(mixed, edit);
    mixed.Items[0]->TextSnapshot = QByteArray("Another letter", 15);
    refused(SessionData(mixed, std::nullopt), "different text");

    QString why;
    QByteArray out;
    EXPECT_FALSE(SessionFromHex("0400000G", out, &why));
    EXPECT_TRUE(why.contains("hexadecimal"));
    EXPECT_FALSE(SessionFromHex("040", out, &why));
    EXPECT_FALSE(SessionFromHex(QByteArray(1, '\0'), out, &why));
    EXPECT_TRUE(SessionFromHex("0a0B\r\n", out, &why));
    EXPECT_EQ(out, QByteArray::fromHex("0a0b"));

    // A digit gone bad deep inside a snapshot, or in the text part, is found
    // by the one-pass reader too, and the list it would fill stays as it was.
    const QByteArray hex = SessionToHex(data);
    for (const qsizetype at : {hex.size() / 2, hex.size() - 3}) {
        QByteArray damaged = hex;
        damaged[at] = 'x';
        TBXInputList target;
        HalfFilled(target, edit);
        const QByteArray before = target.SaveToStream();
        EXPECT_FALSE(RestoreSessionHex(damaged, target, &why));
        EXPECT_EQ(why, QString("This is not a Brevix input session: character %1 is not a "
                               "hexadecimal digit.")
                           .arg(at + 1));
        EXPECT_EQ(target.SaveToStream(), before);
    }
    EXPECT_FALSE(RestoreSessionHex("", good, &why));
    EXPECT_FALSE(RestoreSessionHex("040", good, &why));
}

// Saved sessions are read again by later versions: the layout of the stream
// and its digits must not move by a byte.
TEST(InputSession, LayoutStaysByteForByte) {
    TBXInputList list;
    TBXInputListItem& item = *list.Items[0];
    item.Kind = TInputKind::Text;
    item.Reserved1 = 0x01020304;
    item.TagText = QByteArray("{@INPUT A}", 11);
    item.Value = "v";
    item.TextSnapshot = QByteArray("x{@INPUT A}", 12);
    const QByteArray expected = "04000000"         // format tag
                                "0400000001000000" // count 1
                                "0400000000000000" // current 0
                                "04000000"         // item
                                "0100000001"       // kind, one byte
                                "0400000004030201" // reserved 1
                                "0400000000000000" // reserved 2
                                "0B0000007B40494E50555420417D00"
                                "0100000076"
                                "0C000000787B40494E50555420417D00"
                                "020000006869"; // the shown text "hi"
    EXPECT_EQ(SessionHex(list, QString("hi")), expected + QByteArray(1, '\0'));
    EXPECT_EQ(SessionToHex(SessionData(list, QString("hi"))), expected + QByteArray(1, '\0'));
    EXPECT_EQ(SessionHex(list, QString("hi"), "proc "), "proc " + expected + QByteArray(1, '\0'));
    TBXInputList back;
    QString why;
    ASSERT_TRUE(RestoreSessionHex(expected, back, &why)) << why.toStdString();
    EXPECT_EQ(back.SaveToStream(), list.SaveToStream());
    EXPECT_EQ(back.RestoredText, "hi");
}

TEST(InputSession, SavedAndRestoredThroughFilesAndProcedures) {
    QTemporaryDir dir;
    TFakeEdit edit("Hi {@INPUT(N) Name}, {@INPUT Two}");
    TBXInputList list;
    HalfFilled(list, edit);

    TFakeDialogs dialogs;
    TSessionStore files(dialogs, nullptr);
    dialogs.SaveName = dir.filePath("letter");
    EXPECT_EQ(files.Save(list, std::nullopt), nav::Next);
    EXPECT_EQ(dialogs.StartedIn, "/dict");
    EXPECT_EQ(dialogs.Folder, dir.path());
    QFile f(dir.filePath("letter.bxi"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(written, SessionToHex(SessionData(list, std::nullopt)));

    TBXInputList other;
    dialogs.OpenName = dir.filePath("letter.bxi");
    EXPECT_EQ(files.Restore(other), nav::Restored);
    EXPECT_EQ(dialogs.StartedIn, dir.path());
    EXPECT_EQ(other.SaveToStream(), list.SaveToStream());

    // Cancelled dialogs save and restore nothing.
    dialogs.SaveName.clear();
    dialogs.OpenName.clear();
    EXPECT_EQ(files.Save(list, std::nullopt), nav::SessionFailed);
    EXPECT_EQ(files.Restore(other), 0);

    // A damaged file: a message, and the session as it was.
    QFile bad(dir.filePath("bad.bxi"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("0400000001000000ZZ");
    bad.close();
    dialogs.OpenName = bad.fileName();
    EXPECT_EQ(files.Restore(other), 0);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains("kept as it was"));
    EXPECT_EQ(other.SaveToStream(), list.SaveToStream());

    TFakeScripts tcl;
    tcl.Procs = {"bx_OnSaveSession", "bx_OnRestoreSession"};
    TSessionStore procs(dialogs, &tcl);
    tcl.Reply = "BX_CANCEL";
    EXPECT_EQ(procs.Save(list, QString("t")), nav::Cancel);
    const QByteArray call = tcl.Evaluated.last();
    EXPECT_TRUE(call.startsWith("bx_OnSaveSession 04000000"));
    EXPECT_FALSE(call.contains('\0'));
    tcl.Reply = "";
    EXPECT_EQ(procs.Restore(other), 0); // empty: nothing to restore
    tcl.Reply = call.mid(17);
    TBXInputList fromProc;
    EXPECT_EQ(procs.Restore(fromProc), nav::Restored);
    EXPECT_EQ(fromProc.RestoredText, "t");
    tcl.Ok = false;
    EXPECT_EQ(procs.Save(list, std::nullopt), nav::SessionFailed);
    EXPECT_TRUE(dialogs.Errors.last().contains("STACK TRACE:"));
}

TEST(InputSession, RestoredSessionInTheRunShowsItsText) {
    TFakeEdit saved("{@INPUT A} {@INPUT B}");
    TBXInputList source;
    HalfFilled(source, saved);
    const QByteArray data = SessionData(source, QString("finished text"));

    TFakeEdit edit("{@INPUT Other}");
    TBXInputList list;
    TScriptedUi ui;
    ui.OnRestore = [&](TBXInputList& l) {
        return RestoreSessionData(data, l, nullptr) ? nav::Restored : 0;
    };
    ui.Steps = {Press(nav::RestoreSession)};
    EXPECT_EQ(Drive(list, edit, ui), nav::Done);
    EXPECT_EQ(edit.Text(), "finished text");
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(list.TextFieldCount, 1);

    // Without a text it asks on from the saved field.
    const QByteArray bare = SessionData(source, std::nullopt);
    TFakeEdit edit2("{@INPUT Other}");
    TBXInputList list2;
    TScriptedUi ui2;
    ui2.OnRestore = [&](TBXInputList& l) {
        return RestoreSessionData(bare, l, nullptr) ? nav::Restored : 0;
    };
    ui2.Steps = {Press(nav::RestoreSession), Answer("b")};
    EXPECT_EQ(Drive(list2, edit2, ui2), nav::Done);
    EXPECT_EQ(edit2.Text(), "Ann b");
}
