#include "platform/Errors.h"
#include "shell/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString ErrorOf(const QStringList& params) {
    try {
        ParseCommandLine(params);
    } catch (const EBrevix& e) {
        return e.Message();
    }
    return QString();
}
const QString kBad = QStringLiteral("Error in command line parameter:\r\n");
} // namespace

TEST(CommandLine, ConfigFolderConversions) {
    QTemporaryDir dir;
    const QString path = dir.path();
    // Quotes kept by the shell become blanks and are trimmed; case of the prefix is free.
    EXPECT_EQ(ParseCommandLine({QStringLiteral("/cfg=\"") + path + QStringLiteral("\"")}).ConfigDir,
              path + QLatin1Char('/'));
    QString back = path;
    back.replace(QLatin1Char('/'), QLatin1Char('\\'));
    EXPECT_EQ(ParseCommandLine({QStringLiteral("/CFG=") + back}).ConfigDir,
              path + QLatin1Char('/'));
}

TEST(CommandLine, BadValuesAreRefusedNamingTheParameter) {
    const QString unknown = QStringLiteral("Unrecognized command line parameter:");
    const struct {
        QString param, kind;
    } cases[] = {
        {QStringLiteral("/CFG=/no/such/folder"), kBad},
        {QStringLiteral("/TARGETPROCESS=12x"), kBad},
        {QStringLiteral("/SCRIPT=/no/such.tcl"), kBad},
        {QStringLiteral("/PORT=abc"), kBad},
        {QStringLiteral("/PORT=70000"), kBad},
        {QStringLiteral("/CFG="), unknown}, // a bare prefix is not recognised
        {QStringLiteral("-x"), unknown},
    };
    for (const auto& c : cases) {
        const QString error = ErrorOf({c.param});
        EXPECT_TRUE(error.startsWith(c.kind) && error.contains(c.param)) << error.toStdString();
    }
}

TEST(CommandLine, ValuesAndOrder) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("start.tcl"));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const TCommandLine cl =
        ParseCommandLine({QStringLiteral("/targetprocess=4242"),
                          QStringLiteral("/SCRIPT=") + script, QStringLiteral("/PORT=5150")});
    EXPECT_TRUE(cl.TargetProcessOnly);
    EXPECT_EQ(cl.TargetProcessId, 4242u);
    EXPECT_EQ(cl.CommandLineScript, script);
    EXPECT_EQ(cl.Port.value_or(-1), 5150);
    // The second port parameter counts as unrecognised.
    EXPECT_EQ(ErrorOf({QStringLiteral("/PORT=1"), QStringLiteral("/PORT=2")}),
              QStringLiteral("Unrecognized command line parameter:\r\n\"/PORT=2\"\r\n"));
    // The first error stops the parse: the later bad parameter is never reached.
    EXPECT_TRUE(ErrorOf({QStringLiteral("/SCRIPT=/none"), QStringLiteral("/bad")})
                    .contains(QStringLiteral("not found.")));
}

TEST(CommandLine, JoinPath) {
    EXPECT_EQ(JoinPath(QStringLiteral(" /a/b "), QStringLiteral(" x.ini")),
              QStringLiteral("/a/b/x.ini"));
    EXPECT_EQ(JoinPath(QStringLiteral("/a/b/"), QStringLiteral("x.ini")),
              QStringLiteral("/a/b/x.ini"));
    EXPECT_EQ(JoinPath(QString(), QStringLiteral("x.ini")), QStringLiteral("x.ini"));
}
