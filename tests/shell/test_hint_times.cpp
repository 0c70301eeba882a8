// Tooltips come after 400 ms: the delay Qt really uses, read from the style.
#include "shell/HintTimes.h"

#include <QApplication>
#include <QStyle>
#include <gtest/gtest.h>

TEST(HintTimes, TooltipsComeAfter400Msec) {
    ApplyHintTimes();
    QStyle* style = QApplication::style();
    EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 400);
    ApplyHintTimes(); // applied again at every settings load: the style stays
    EXPECT_EQ(QApplication::style(), style);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
