// Password fields found through the accessibility bus: a Qt window of this
// process with a normal and a password field, its focus followed by the hook
// library. Run twice by ctest: under dbus-run-session inside the end-to-end
// desktop, where the bus exists, and without a session bus, where the
// library must say so and find nothing.
#include "hook/HookApi.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <unistd.h>

namespace {
QString State() {
    char buffer[256] = {};
    BxAccessibilityState(buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}
} // namespace

class TAccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void passwordFocusIsFollowedOrSaidToBeUnknown() {
        QWidget window;
        auto* normal = new QLineEdit(&window);
        auto* secret = new QLineEdit(&window);
        secret->setEchoMode(QLineEdit::Password);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(normal);
        layout->addWidget(secret);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow());
        normal->setFocus();

        QCOMPARE(BxPasswordFocusProcess(), 0u); // starts following
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
            QTRY_VERIFY(State().startsWith(QStringLiteral("no accessibility bus")));
            secret->setFocus();
            QTest::qWait(300);
            QCOMPARE(BxPasswordFocusProcess(), 0u);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(State(), QStringLiteral("running"), 15000);
        // Qt learns of our listener asynchronously and drops the events
        // before it has: the focus moves again until one gets through.
        const uint32_t self = static_cast<uint32_t>(getpid());
        for (int i = 0; i < 10 && BxPasswordFocusProcess() != self; ++i) {
            normal->setFocus();
            QTest::qWait(50);
            secret->setFocus();
            QTest::qWaitFor([&] { return BxPasswordFocusProcess() == self; }, 1000);
        }
        QCOMPARE(BxPasswordFocusProcess(), self);
        normal->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(BxPasswordFocusProcess(), 0u, 10000);
    }
};

int main(int argc, char** argv) {
    // Qt reports to the bus only when asked to, as a screen reader would.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    TAccessibilityTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    // The watcher's thread ends with the library's release.
    UninstallHooksDll(0);
    return failed;
}

#include "AccessibilityTest.moc"
