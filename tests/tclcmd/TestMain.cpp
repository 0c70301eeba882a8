#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Also when run by hand or listed by the test discovery.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("BREVIX_HOOK")) qputenv("BREVIX_HOOK", "virtual");
    QTemporaryDir runtime;
    qputenv("BREVIX_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
