#include "shell/DroppedTabs.h"

#include <gtest/gtest.h>

TEST(DroppedTabs, MessageNamesTheFirstAndCountsTheRest) {
    TDroppedTabs one;
    one.Missing << QStringLiteral("/d/a.bxd");
    EXPECT_EQ(one.Message(), QStringLiteral("One dictionary of the last session was left out of "
                                            "the tabs:\nNot found:\n    /d/a.bxd"));

    TDroppedTabs many;
    for (int i = 0; i < 5; ++i)
        many.Missing << QStringLiteral("/m%1").arg(i);
    many.Unreadable << QStringLiteral("/u0") << QStringLiteral("/u1");
    const QString text = many.Message(3);
    EXPECT_TRUE(text.startsWith(QStringLiteral("7 dictionaries")));
    EXPECT_TRUE(text.contains(QStringLiteral("Could not be opened:\n    /u0\n    /u1\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Not found:\n    /m0\n    ... and 4 more")));
    EXPECT_TRUE(many.Message(0).endsWith(QStringLiteral("Not found:\n    ... and 5 more")));
    EXPECT_TRUE(TDroppedTabs().Empty());
}
