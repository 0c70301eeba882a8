// The readers and writers of other expanders' files, on hand-written
// fixtures and on hostile input.
#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "tools/convert/Csv.h"
#include "tools/convert/Formats.h"
#include "tools/convert/ImportBatch.h"
#include "tools/convert/InputFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray Fixture(const char* name) {
    QFile f(QStringLiteral(FIXTURES "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// "where: message" of every note, joined, for readable failures.
QString Notes(const QList<TConvertNote>& notes) {
    QStringList out;
    for (const TConvertNote& n : notes)
        out << n.Text();
    return out.join(QLatin1Char('\n'));
}

const TCandidate* Find(const TImportBatch& b, const QString& keyword) {
    for (const TCandidate& c : b.candidates)
        if (c.keyword == keyword) return &c;
    return nullptr;
}

#define EXPECT_NOTE(notes, part)                                                                   \
    EXPECT_TRUE(Notes(notes).contains(QStringLiteral(part))) << part << "\n"                       \
                                                             << Notes(notes).toStdString()

} // namespace

TEST(Csv, ReadsQuotingAsRfc4180HasIt) {
    const auto r =
        Csv::Read(QStringLiteral("a,\"b,\"\"c\"\"\",d\r\n\r\n\"multi\r\nline\",x\nlast,"));
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0].fields, QStringList({"a", "b,\"c\"", "d"}));
    EXPECT_EQ(r[1].line, 3);
    EXPECT_EQ(r[1].fields, QStringList({"multi\r\nline", "x"}));
    EXPECT_EQ(r[2].line, 5);
    EXPECT_EQ(r[2].fields, QStringList({"last", ""}));
}

TEST(Csv, BadQuotingIsNamedByLineAndReadingGoesOn) {
    const auto r = Csv::Read(QStringLiteral("a\"b,c\n\"x\"y,z\ngood,1\n\"open,\nnever closed"));
    ASSERT_EQ(r.size(), 4);
    EXPECT_TRUE(r[0].problem.contains("not quoted"));
    EXPECT_TRUE(r[1].problem.contains("follows the closing quote"));
    EXPECT_TRUE(r[2].problem.isEmpty());
    EXPECT_EQ(r[2].fields, QStringList({"good", "1"}));
    EXPECT_EQ(r[3].line, 4);
    EXPECT_TRUE(r[3].problem.contains("opened on line 4 is never closed"));
}

TEST(Csv, WrittenRecordsReadBackWhateverTheyHold) {
    const QString huge(1 << 20, QLatin1Char('"'));
    const QList<QStringList> rows = {{"plain", "with, comma", ""},
                                     {" lead", "trail ", "\"quoted\""},
                                     {"cr\rlf\nboth\r\n", huge, "é€"}};
    QString text;
    for (const QStringList& row : rows)
        text += Csv::Record(row);
    const auto back = Csv::Read(text);
    ASSERT_EQ(back.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(back[i].problem.isEmpty()) << back[i].problem.toStdString();
        EXPECT_EQ(back[i].fields, rows[i]);
    }
}

TEST(ImportRules, EveryFaultIsNamedAndNothingIsAddedUnlessSkipped) {
    TDictionaryList list;
    auto* own = new TDictionaryItem;
    own->SetKeyword("mine");
    own->SetText("kept");
    list.Add(own);
    const auto batchOf = [] {
        TImportBatch b;
        b.Add({"line 1", "ok", "", "fine"});
        b.Add({"line 2", "  ", "", "blank"});
        b.Add({"line 3", QString(33, 'k'), "", "long"});
        b.Add({"line 4", "OK ", "", "twice"});
        b.Add({"line 5", "Mine", "", "theirs"});
        b.Add({"line 6", "snow", "", QStringLiteral("\u2603")});
        b.Add({"line 7", "emoji", QStringLiteral("\U0001F600"), "x"});
        b.Add({"line 8", "desc", QString(256, 'd'), "x"});
        b.Add({"line 9", "euro", QStringLiteral("“€”"), QStringLiteral("5 €")});
        return b;
    };
    TImportBatch refused = batchOf();
    EXPECT_EQ(ApplyImport(refused, list, false), 0);
    EXPECT_EQ(list.Count(), 1);
    ASSERT_EQ(refused.faults.size(), 7) << Notes(refused.faults).toStdString();
    EXPECT_NOTE(refused.faults, "line 2: The keyword is blank.");
    EXPECT_NOTE(refused.faults, "line 3: The keyword \"kkkk");
    EXPECT_NOTE(refused.faults, "longer than 32 characters");
    EXPECT_NOTE(refused.faults, "line 4: duplicate keyword \"ok\" (first at line 1)");
    EXPECT_NOTE(refused.faults, "line 5: the keyword \"mine\" is already in the dictionary");
    EXPECT_NOTE(refused.faults, "line 6: \"text\" holds U+2603");
    EXPECT_NOTE(refused.faults, "line 7: \"description\" holds U+1F600");
    EXPECT_NOTE(refused.faults, "line 8: The description of \"desc\" is longer than 255");

    TImportBatch skipped = batchOf();
    EXPECT_EQ(ApplyImport(skipped, list, true), 2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("mine"))->GetText(), "kept");
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("euro"))->GetText(), "5 \x80");
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("euro"))->GetDescription(), "\x93\x80\x94");
}

TEST(ImportRules, ATakenShortcutKeyIsDroppedAndSaid) {
    TDictionaryList list;
    auto* own = new TDictionaryItem;
    own->SetKeyword("mine");
    own->SetShortcut(0x2041);
    list.Add(own);
    TImportBatch b;
    TCandidate first{"line 1", "a", "", "x", 0x2041};
    TCandidate second{"line 2", "b", "", "y", 0x2042};
    TCandidate third{"line 3", "c", "", "z", 0x2042};
    for (TCandidate* c : {&first, &second, &third})
        b.Add(*c);
    EXPECT_EQ(ApplyImport(b, list, false), 3);
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("a"))->GetShortcut(), 0);
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("b"))->GetShortcut(), 0x2042);
    EXPECT_EQ(list.GetItem(list.IndexOfKeyword("c"))->GetShortcut(), 0);
    EXPECT_EQ(b.losses.size(), 2);
    EXPECT_NOTE(b.losses, "line 3: its shortcut key is taken by another entry");
}

TEST(ImportRules, LineBreaksBecomeCrLfOnceAndGoBack) {
    EXPECT_EQ(WithCrLf("a\nb\r\nc\rd\n"), QStringLiteral("a\r\nb\r\nc\rd\r\n"));
    EXPECT_EQ(WithLf("a\r\nb\rc"), QStringLiteral("a\nb\rc"));
}

TEST(EspansoImport, CarriesTextsVariablesAndFormsAndListsTheRest) {
    TImportBatch b;
    Formats::ImportEspanso(Fixture("espanso-base.yml"), b);
    ASSERT_TRUE(b.fatal.isEmpty()) << b.fatal.toStdString();
    EXPECT_TRUE(b.faults.isEmpty()) << Notes(b.faults).toStdString();
    ASSERT_TRUE(Find(b, ":espanso"));
    EXPECT_EQ(Find(b, ":espanso")->text, "Hi there!");
    EXPECT_EQ(Find(b, ":espanso")->description, "Greeting");
    ASSERT_TRUE(Find(b, ":br") && Find(b, ":regards"));
    EXPECT_EQ(Find(b, ":regards")->text, "Best regards,\r\nAnn Smith\r\n");
    ASSERT_TRUE(Find(b, ":greet"));
    EXPECT_EQ(Find(b, ":greet")->text, "Hey {@INPUT(name) name},\r\nHappy Birthday, {name}!\r\n");
    ASSERT_TRUE(Find(b, ":reply"));
    EXPECT_EQ(Find(b, ":reply")->text,
              "Dear {@INPUT(title) Title @SINGLE\r\nMr\r\nMs} {@INPUT(last) Last name}, ");
    ASSERT_TRUE(Find(b, ":pick"));
    EXPECT_EQ(Find(b, ":pick")->text, "{@INPUT(fruit) fruit @SINGLE\r\nApple\r\nPear}");
    // Kept as written, and said so.
    EXPECT_EQ(Find(b, ":now")->text, "It's {{mytime}}");
    EXPECT_EQ(Find(b, ":bold")->text, "This is **bold**");
    EXPECT_FALSE(Find(b, ":logo"));
    EXPECT_NOTE(b.losses, "the date variable {{mytime}} cannot be carried over");
    EXPECT_NOTE(b.losses, "the shell variable {{output}} cannot be carried over");
    EXPECT_NOTE(b.losses, "the cursor position $|$ is not carried over");
    EXPECT_NOTE(b.losses, "the default value of the field \"last\"");
    EXPECT_NOTE(b.losses, "a regex trigger cannot be carried over");
    EXPECT_NOTE(b.losses, "an image cannot be carried over");
    EXPECT_NOTE(b.losses, "markdown formatting is not carried over");
    EXPECT_FALSE(Notes(b.losses).contains("propagate_case"));
}

TEST(EspansoImport, HostileYamlIsRefusedWithItsLine) {
    struct Case {
        QByteArray yaml;
        const char* fatal;
    };
    const QByteArray deep = QByteArray(100000, '[') + QByteArray(100000, ']');
    for (const Case& c : {Case{"matches:\n  - trigger: [a\n    replace: b\n", "not valid YAML"},
                          Case{"matches:\n  - trigger: a\n   replace: [b\n", "line "},
                          Case{"just a scalar", "no \"matches\" list"},
                          Case{"matches: 5\n", "line 1: \"matches\" must be a list"},
                          Case{"matches:\n  - trigger: caf\xE9\n", "line 2: the file is not UTF-8"},
                          Case{"matches: " + deep, ""}}) {
        TImportBatch b;
        Formats::ImportEspanso(c.yaml, b);
        EXPECT_FALSE(b.fatal.isEmpty()) << c.yaml.left(60).constData();
        EXPECT_TRUE(b.fatal.contains(QLatin1String(c.fatal))) << b.fatal.toStdString();
        EXPECT_TRUE(b.candidates.isEmpty());
    }
}

TEST(EspansoImport, BadMatchesAreFaultsOfTheirOwn) {
    TImportBatch b;
    Formats::ImportEspanso("matches:\n"
                           "  - trigger: {a: 1}\n    replace: x\n"
                           "  - replace: no trigger\n"
                           "  - trigger: ok\n    replace: fine\n"
                           "  - trigger: t\n    replace: [1, 2]\n"
                           "  - trigger: f\n    replace: \"{{v}}\"\n    vars:\n"
                           "      - {name: v, type: choice, params: {values: [\"a}\", b]}}\n"
                           "  - just text\n",
                           b);
    ASSERT_TRUE(b.fatal.isEmpty()) << b.fatal.toStdString();
    ASSERT_EQ(b.candidates.size(), 1);
    EXPECT_EQ(b.candidates[0].keyword, "ok");
    EXPECT_NOTE(b.faults, "match 1 (line 2): \"trigger\" must be a text");
    EXPECT_NOTE(b.faults, "match 2 (line 4): the match has no trigger");
    EXPECT_NOTE(b.faults, "match 4 (line 7): \"replace\" must be a text");
    EXPECT_NOTE(b.faults, "match 5 (line 9): the choice \"a}\" cannot be an item");
    EXPECT_NOTE(b.faults, "match 6 (line 13): a match must be a mapping");
}

TEST(EspansoImport, AliasesDoNotMultiplyWork) {
    // Each level doubles what a naive walk would visit.
    QByteArray yaml = "base: &l0 {trigger: x, replace: y}\n";
    for (int i = 1; i < 40; ++i)
        yaml += "l" + QByteArray::number(i) + ": &l" + QByteArray::number(i) + " [*l" +
                QByteArray::number(i - 1) + ", *l" + QByteArray::number(i - 1) + "]\n";
    yaml += "matches: [*l0]\n";
    TImportBatch b;
    Formats::ImportEspanso(yaml, b);
    EXPECT_EQ(b.candidates.size(), 1);
    EXPECT_NOTE(b.losses, "the section \"l39\" is not carried over");
}

TEST(AutoKeyImport, ReadsPhrasesWithTheirAbbreviationsInEveryFolder) {
    TImportBatch b;
    Formats::ImportAutoKey(QStringLiteral(FIXTURES "/autokey"), b);
    ASSERT_TRUE(b.fatal.isEmpty()) << b.fatal.toStdString();
    ASSERT_TRUE(Find(b, "adr") && Find(b, "addr") && Find(b, "tdy"));
    EXPECT_EQ(Find(b, "adr")->text, "Ann Smith\r\n12 Long Road");
    EXPECT_EQ(Find(b, "adr")->description, "Home address");
    EXPECT_EQ(Find(b, "tdy")->text, "Today is <date format=%d.%m.%Y>");
    EXPECT_EQ(b.candidates.size(), 3);
    EXPECT_NOTE(b.faults, "Private/Cafe.txt: .Cafe.json is not valid JSON");
    EXPECT_NOTE(b.losses, "Private/MenuOnly.txt: has no abbreviation");
    EXPECT_NOTE(b.losses, "Private/Orphan.txt: has no settings file (.Orphan.json)");
    EXPECT_NOTE(b.losses, "Work/Today.txt: its hotkey is not carried over");
    EXPECT_NOTE(b.losses, "Work/Today.txt: AutoKey expanded it without a delimiter");
    EXPECT_NOTE(b.losses, "Work/Today.txt: the macro <date format=%d.%m.%Y> is kept as written");
}

TEST(AutoKeyImport, RefusesWhatIsNotAPhraseFolder) {
    QTemporaryDir dir;
    TImportBatch none, file;
    Formats::ImportAutoKey(dir.path(), none);
    EXPECT_TRUE(none.fatal.contains("no AutoKey phrase"));
    Formats::ImportAutoKey(QStringLiteral(FIXTURES "/beeftext.json"), file);
    EXPECT_TRUE(file.fatal.contains("not a folder"));
    // A link back to the folder itself is not followed round and round.
    QDir(dir.path()).mkdir("a");
    QFile::link(dir.path(), dir.filePath("a/loop"));
    QFile t(dir.filePath("a/x.txt"));
    t.open(QIODevice::WriteOnly);
    TImportBatch loop;
    Formats::ImportAutoKey(dir.path(), loop);
    EXPECT_EQ(loop.losses.size(), 1) << Notes(loop.losses).toStdString();
}

TEST(BeeftextImport, ReadsCombosAndTheirVariables) {
    TImportBatch b;
    Formats::ImportBeeftext(Fixture("beeftext.json"), b);
    ASSERT_TRUE(b.fatal.isEmpty()) << b.fatal.toStdString();
    ASSERT_TRUE(Find(b, "addr") && Find(b, "letter") && Find(b, "loop"));
    EXPECT_EQ(Find(b, "addr")->text, "12 Long Road\r\nSpringfield");
    EXPECT_EQ(Find(b, "addr")->description, "Address");
    EXPECT_EQ(Find(b, "letter")->text,
              "Dear {@INPUT Name},\r\n#{clipboard}\r\n12 Long Road\r\nSpringfield");
    EXPECT_EQ(Find(b, "loop")->text, QString(9, 'x') + "#{combo:loop}");
    EXPECT_NOTE(b.losses, "combo 2 (\"letter\"): the variable #{clipboard} is kept as written");
    EXPECT_NOTE(b.losses, "combo 2 (\"letter\"): was disabled in Beeftext");
    EXPECT_NOTE(b.losses, "combo 3 (\"loop\"): #{combo:loop} nests too deep");
}

TEST(BeeftextImport, RefusesWhatIsNotACombo) {
    TImportBatch notJson, noCombos, badCombo;
    Formats::ImportBeeftext("{\"combos\": [", notJson);
    EXPECT_TRUE(notJson.fatal.contains("not valid JSON at byte offset"));
    Formats::ImportBeeftext("[1,2]", noCombos);
    EXPECT_TRUE(noCombos.fatal.contains("no \"combos\" list"));
    Formats::ImportBeeftext("{\"combos\": [5, {\"snippet\": \"x\"}, {\"keyword\": \"k\", "
                            "\"snippet\": \"#{input:a {b}\"}]}",
                            badCombo);
    EXPECT_TRUE(badCombo.candidates.isEmpty());
    EXPECT_NOTE(badCombo.faults, "combo 1: a combo must be an object");
    EXPECT_NOTE(badCombo.faults, "combo 2: the combo has no keyword");
    EXPECT_NOTE(badCombo.faults, "combo 3 (\"k\"): the prompt \"a {b\" cannot be written");
}

TEST(CsvImport, SkipsTheHeaderAndNamesBadLines) {
    TImportBatch b;
    Formats::ImportCsv("\xEF\xBB\xBFKeyword,Text,Description\r\n"
                       "sig,\"Regards,\nAnn\",signature\r\n"
                       "only\r\n"
                       "a,b,c,d\r\n"
                       "x,\"bad\"quote\r\n"
                       "ok,fine\r\n",
                       b);
    ASSERT_EQ(b.candidates.size(), 2);
    EXPECT_EQ(b.candidates[0].text, "Regards,\r\nAnn");
    EXPECT_EQ(b.candidates[0].description, "signature");
    EXPECT_EQ(b.candidates[1].where, "line 7");
    EXPECT_NOTE(b.faults, "line 4: expected keyword, text and description, found 1");
    EXPECT_NOTE(b.faults, "line 5: expected keyword, text and description, found 4");
    EXPECT_NOTE(b.faults, "line 6: text follows the closing quote");
    TImportBatch latin1;
    Formats::ImportCsv("a,b\nk,caf\xE9\n", latin1);
    EXPECT_TRUE(latin1.fatal.contains("line 2: the file is not UTF-8 text (byte 0xe9"))
        << latin1.fatal.toStdString();
}

TEST(EspansoExport, FieldsBecomeFormsAndOtherTagsAreReported) {
    TDictionaryList list;
    auto* e = new TDictionaryItem;
    e->SetKeyword("mail");
    e->SetDescription("A mail");
    e->SetText("Hi {@INPUT(who) Who is it? @WANTRETURNS}{@CR}{who} {@INPUT Colour\r\nred\r\nblue}"
               "{@KEY Enter}{@REM note}{@LEFTBRACE}");
    e->SetShortcut(0x2041);
    list.Add(e);
    QList<TConvertNote> losses;
    const QByteArray yaml = Formats::ExportEspanso(list, losses);
    EXPECT_TRUE(yaml.contains("replace: \"Hi {{form1.who}}\\n{{form1.who}} {{form1.field2}}"
                              "{@KEY Enter}{\""))
        << yaml.constData();
    EXPECT_TRUE(yaml.contains("layout: \"Who is it?: [[who]]\\nColour: [[field2]]\""));
    EXPECT_TRUE(yaml.contains("multiline: true"));
    EXPECT_NOTE(losses, "entry \"mail\": the tag {@KEY Enter} has no espanso counterpart");
    EXPECT_NOTE(losses, "entry \"mail\": a pick list of several choices becomes a single choice");
    EXPECT_NOTE(losses, "entry \"mail\": its shortcut key is not carried over");
    TImportBatch back;
    Formats::ImportEspanso(yaml, back);
    ASSERT_EQ(back.candidates.size(), 1) << Notes(back.faults).toStdString();
    EXPECT_EQ(back.candidates[0].text,
              "Hi {@INPUT(who) Who is it? @WANTRETURNS}\r\n{who} {@INPUT(field2) Colour "
              "@SINGLE\r\nred\r\nblue}{@KEY Enter}{");
    EXPECT_EQ(back.candidates[0].description, "A mail");
}

TEST(Importers, SurviveDamagedFixtures) {
    // A fixed-seed mutation loop, so every run reads a few thousand damaged
    // files: no crash, no hang, and nothing imported twice.
    struct Reader {
        const char* fixture;
        void (*read)(const QByteArray&, TImportBatch&);
    };
    const QByteArray csv = "keyword,text,description\r\nsig,\"Regards,\r\n\"\"Ann\"\"\",s\r\n";
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const Reader& r :
         {Reader{"espanso-base.yml", Formats::ImportEspanso},
          Reader{"beeftext.json", Formats::ImportBeeftext}, Reader{nullptr, Formats::ImportCsv}}) {
        const QByteArray original = r.fixture ? Fixture(r.fixture) : csv;
        for (int round = 0; round < 1500; ++round) {
            QByteArray data = original;
            for (int edits = 1 + next() % 4; edits > 0 && !data.isEmpty(); --edits) {
                const qsizetype at = next() % data.size();
                switch (next() % 3) {
                case 0:
                    data[at] = static_cast<char>(next() >> 24);
                    break;
                case 1:
                    data.remove(at, 1 + next() % 8);
                    break;
                default:
                    data.insert(at, data.mid(next() % data.size(), 1 + next() % 16));
                }
            }
            TImportBatch b;
            r.read(data, b);
            TDictionaryList list;
            const int added = ApplyImport(b, list, true);
            ASSERT_EQ(added, list.Count());
        }
    }
}

TEST(InputFile, OversizedPipesAndHugeFieldsAreHandled) {
    QTemporaryDir dir;
    QFile big(dir.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    // One field of 8 MiB: read whole, carried whole.
    const QByteArray text(8 << 20, 'x');
    big.write("k,\"" + text + "\"\n");
    big.close();
    QByteArray data;
    QString problem;
    EXPECT_FALSE(InputFile::Read(big.fileName(), data, problem, 1 << 20));
    EXPECT_TRUE(problem.contains("larger than 1 MiB"));
    ASSERT_TRUE(InputFile::Read(big.fileName(), data, problem));
    TImportBatch b;
    Formats::ImportCsv(data, b);
    ASSERT_EQ(b.candidates.size(), 1);
    EXPECT_EQ(b.candidates[0].text.size(), text.size());
    // A named pipe would wait for a writer forever: it is refused at once.
    const QString fifo = dir.filePath("pipe.yml");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(InputFile::Read(fifo, data, problem));
}
