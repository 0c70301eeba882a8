#include "dictionary/DictItemGui.h"
#include "dictionary/DictItem.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

TEST(DictItemGui, TextKeepsCrLfAndAnsiCharactersThroughTheControl) {
    TDictionaryItem item;
    item.SetText("Caf\xE9 \x80"
                 "5\r\nline two\r\n");
    QPlainTextEdit edit;
    DictItemGui::TextToControl(item, edit);
    EXPECT_EQ(edit.toPlainText(), QString::fromUtf8("Café €5\nline two\n"));
    EXPECT_EQ(edit.document()->blockCount(), 3);
    edit.appendPlainText(QStringLiteral("three"));
    DictItemGui::TextFromControl(item, edit);
    EXPECT_EQ(item.GetText(), QByteArray("Caf\xE9 \x80"
                                         "5\r\nline two\r\n\r\nthree"));
    DictItemGui::CopyTextToClipboard(item);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("Café €5\r\nline two\r\n\r\nthree"));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
