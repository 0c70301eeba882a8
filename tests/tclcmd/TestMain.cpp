#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
