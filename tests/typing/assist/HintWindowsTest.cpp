// The hint box goes below the window the user types in, or near the caret
// when it follows the caret, on the virtual desktop.
#include "typing/gui/HintWindows.h"
#include "hook/HookApi.h"
#include "typing/gui/HintBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {
class THost final : public THintHost {
public:
    QString IniPath() const override { return QString(); }
    const TDictionaryList* Dictionary() const override { return nullptr; }
    QString DictionaryFileName() const override { return QStringLiteral("test.bxd"); }
    TSuggestionStyle SuggestionStyle() const override { return {}; }
    QWidget* MainWindow() const override { return const_cast<QWidget*>(&main); }
    bool StartupDone() const override { return true; }
    void RestoreMainWindow() override {}
    void SuggestionKeysChanged() override {}
    void ShowAbout() override {}
    void ShowPreferences() override {}
    QWidget main;
};
} // namespace

class THintWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(InitHooksDll(0x77), 0); }
    void cleanupTestCase() { UninstallHooksDll(0x77); }

    void hintGoesBelowTheWindowTypedIn() {
        const BxHwnd target = BxVirtualCreateWindow(1);
        BxVirtualSetWindowRect(target, 100, 200, 300, 50);
        BxVirtualSetFocus(target); // the caret falls back to the window's corner
        THost host;
        TMainHints hints(host);
        hints.CreateWindows();
        hints.SetDescriptionLine("by the way");
        hints.ApplyOptions(aoAutoReplaceHint, false);
        hints.ShowHintBox(target);
        QVERIFY(hints.HintBox->isVisible());
        QCOMPARE(hints.HintBox->pos(), QPoint(102, 252));
        // Following the caret: the caret inside the window places it there.
        hints.ApplyOptions(aoAutoReplaceHint | aoAutoReplaceHintTrackCaret, false);
        hints.ShowHintBox(target);
        QCOMPARE(hints.HintBox->pos(), QPoint(108, 221));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir runtime;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("BREVIX_HOOK", "virtual");
    qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);
    THintWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HintWindowsTest.moc"
