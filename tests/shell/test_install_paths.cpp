// Where an installed program finds its files, and the session's autostart entry.
#include "shell/Autostart.h"
#include "shell/CommandLine.h"
#include "shell/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
} // namespace

TEST(ProgramFiles, BesideTheProgramElseTheInstalledDataFolder) {
    QTemporaryDir dir;
    const QString bin = dir.filePath("usr/bin"), share = dir.filePath("usr/share/brevix");
    QDir().mkpath(bin);
    // Neither: the program's own folder, where a missing script is looked for.
    EXPECT_EQ(ProgramDataDir(bin, "../share/brevix"), bin);
    QDir().mkpath(share);
    EXPECT_EQ(ProgramDataDir(bin, "../share/brevix"), share);
    // A build tree keeps the script beside the program, and that wins.
    Touch(bin + "/Brevixo.tcl");
    EXPECT_EQ(ProgramDataDir(bin, "../share/brevix"), bin);
}

TEST(Autostart, EntryIsWrittenRemovedAndQuoted) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    const QString entry = dir.filePath("autostart/brevix.desktop");
    EXPECT_EQ(Autostart::EntryPath(), entry);
    EXPECT_FALSE(Autostart::Enabled());

    QString error;
    ASSERT_TRUE(Autostart::SetEnabled(true, "/opt/my \"odd\" $dir/brevix", &error))
        << error.toStdString();
    EXPECT_TRUE(Autostart::Enabled());
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    // Reserved characters escaped for the Exec key, then backslashes doubled for the file.
    EXPECT_TRUE(text.contains("Exec=\"/opt/my \\\\\"odd\\\\\" \\\\$dir/brevix\" --autostart\n"))
        << text.toStdString();
    f.close();

    ASSERT_TRUE(Autostart::SetEnabled(false, QString(), &error));
    EXPECT_FALSE(Autostart::Enabled());
    EXPECT_TRUE(Autostart::SetEnabled(false, QString(), &error)); // already gone

    // A file where the folder should be: refused with a message, nothing pretended.
    Touch(dir.filePath("autostart-blocker"));
    QDir(dir.path()).rmdir("autostart");
    QFile::rename(dir.filePath("autostart-blocker"), dir.filePath("autostart"));
    EXPECT_FALSE(Autostart::SetEnabled(true, "/usr/bin/brevix", &error));
    EXPECT_TRUE(error.contains("autostart")) << error.toStdString();
    EXPECT_FALSE(Autostart::Enabled());
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(CommandLine, AutostartAndTheAnswersWithoutADisplay) {
    EXPECT_TRUE(ParseCommandLine({"--autostart"}).Autostart);
    EXPECT_FALSE(ParseCommandLine({}).Autostart);
    EXPECT_EQ(ProgramVersionText(), "Brevix 10.00\n");
    for (const char* p : {"/CFG=", "/TARGETPROCESS=", "/SCRIPT=", "/PORT=", "--autostart"})
        EXPECT_TRUE(CommandLineHelp().contains(p)) << p;
}
