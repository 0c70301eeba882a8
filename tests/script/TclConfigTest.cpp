#include "script/TclConfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

template <size_t N> QByteArray Bytes(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

struct TConfigCase {
    const char* Name;
    QByteArray Text;
    QString Dll;
    QString LibPath;
};

class TclConfigTable : public testing::TestWithParam<TConfigCase> {};

TEST_P(TclConfigTable, ReadsLibraryAndScriptFolder) {
    const TConfigCase& c = GetParam();
    const TTclConfig cfg = ParseTclConfig(c.Text, QStringLiteral("/nonexistent/prog"));
    EXPECT_EQ(cfg.DllFileName, c.Dll);
    EXPECT_EQ(cfg.LibPath, c.LibPath);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TclConfigTable,
    testing::Values(
        TConfigCase{"NoFile", "", "libtcl8.6.so", ""},
        TConfigCase{"Quoted", "[TCL]\r\nDLLFILENAME=\"/opt/tcl/lib/libtcl8.6.so\"\r\n",
                    "/opt/tcl/lib/libtcl8.6.so", ""},
        TConfigCase{"BackslashesAndCase", "[tcl]\r\ndllfilename = \\opt\\libtcl.so\r\n",
                    "/opt/libtcl.so", ""},
        TConfigCase{"LibPathWindowsStyle", "[TCL]\nLIBPATH=C:\\Tcl\\lib\n", "libtcl8.6.so",
                    "C:/Tcl/lib"},
        TConfigCase{"LibPathQuotedWithBlanks", "[TCL]\nLIBPATH=\" /usr/share/tcl \"\n",
                    "libtcl8.6.so", "/usr/share/tcl"},
        TConfigCase{"OtherSectionIgnored", "[X]\nDLLFILENAME=a.so\n[TCL]\n", "libtcl8.6.so", ""},
        TConfigCase{"EmptyValueGivesDefault", "[TCL]\nDLLFILENAME=\"\"\n", "libtcl8.6.so", ""},
        TConfigCase{"Garbage", Bytes("\0\xff[TCL\n=x\n[[]]\nDLLFILENAME\n"), "libtcl8.6.so", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TclConfig, BareNameIsTakenFromProgramFolderWhenThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile lib(dir.filePath(QStringLiteral("libmytcl.so")));
    ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
    lib.close();
    QFile cfg(dir.filePath(QStringLiteral("INIT.CFG")));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("[TCL]\r\nDLLFILENAME=libmytcl.so\r\nLIBPATH=/x\r\n");
    cfg.close();
    const TTclConfig c = ReadTclConfig(dir.path());
    EXPECT_EQ(c.DllFileName, dir.filePath(QStringLiteral("libmytcl.so")));
    EXPECT_EQ(c.LibPath, QStringLiteral("/x"));
    // Not in the program's folder: left to the loader's search.
    EXPECT_EQ(ReadTclConfig(dir.filePath(QStringLiteral("none"))).DllFileName,
              QStringLiteral("libtcl8.6.so"));
}

} // namespace
