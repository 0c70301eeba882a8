// Message boxes fit the screen whatever they say, and the whole text stays
// reachable in the details.
#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

QRect Area() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// The box as the user sees it, then with its details opened.
void ExpectFitsWithDetails(TMessageBox& box) {
    box.show();
    QApplication::processEvents();
    EXPECT_LE(box.width(), Area().width());
    EXPECT_LE(box.height(), Area().height());
    QAbstractButton* details = nullptr;
    for (QAbstractButton* b : box.buttons())
        if (box.buttonRole(b) == QMessageBox::ActionRole) details = b;
    ASSERT_NE(details, nullptr) << "a shortened text offers its details";
    details->click();
    QApplication::processEvents();
    EXPECT_LE(box.width(), Area().width());
    EXPECT_LE(box.height(), Area().height());
    const QTextEdit* edit = box.findChild<QTextEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->toPlainText(), QString(box.FullText()).remove(QLatin1Char('\r')))
        << "the whole text can be read and copied";
    box.close();
}

} // namespace

TEST(MessageBox, LongPathFitsTheScreen) {
    const QString path = QStringLiteral("/home/user/") + QString(10000, QLatin1Char('d')) +
                         QStringLiteral("/Texts.bxd");
    const QString text = path + QStringLiteral(" could not be opened.\nNo such file.");
    {
        // The fault itself: a plain box grows past the screen.
        QMessageBox plain(QMessageBox::Critical, QStringLiteral("Brevix"), text, QMessageBox::Ok);
        plain.show();
        QApplication::processEvents();
        ASSERT_GT(plain.height(), Area().height());
    }
    TMessageBox box(QMessageBox::Critical, QStringLiteral("Brevix"), text);
    EXPECT_TRUE(
        box.text().endsWith(QStringLiteral("Texts.bxd could not be opened.\nNo such file.")))
        << "the end of the path and the rest of the message stay readable";
    EXPECT_TRUE(box.text().startsWith(QStringLiteral("/home/user/d")));
    EXPECT_EQ(box.detailedText(), text);
    ExpectFitsWithDetails(box);
}

TEST(MessageBox, ManyAndLongLinesFitTheScreen) {
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << QStringLiteral("%1 could not be found").arg(i);
    TMessageBox many(QMessageBox::Warning, QStringLiteral("Brevix"), lines.join(QLatin1Char('\n')));
    EXPECT_TRUE(many.text().startsWith(QStringLiteral("0 could not be found\n1 could")));
    EXPECT_TRUE(many.text().contains(QStringLiteral("more lines: see the details")));
    ExpectFitsWithDetails(many);

    // One line of prose a million characters long, and CR LF line ends.
    const QString prose = QStringLiteral("error in script ").repeated(62500);
    TMessageBox wide(QMessageBox::Warning, QStringLiteral("Brevix"),
                     QStringLiteral("Line 1\r\n") + prose + QStringLiteral("\r\nLast line"));
    EXPECT_TRUE(wide.text().startsWith(QStringLiteral("Line 1\nerror in script")));
    ExpectFitsWithDetails(wide);
}

TEST(MessageBox, OrdinaryTextsAreShownAsGiven) {
    const QString question = QStringLiteral(
        "The dictionary 'Texts.bxd' has been modified.\r\nDo you wish to save changes to disk?");
    TMessageBox box(QMessageBox::Question, QStringLiteral("Brevix"), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.text(), question);
    EXPECT_TRUE(box.detailedText().isEmpty());

    // A name that looks like markup is shown as it is.
    TMessageBox markup(QMessageBox::Critical, QStringLiteral("Brevix"),
                       QStringLiteral("<b>big</b><img src=x>.bxd could not be opened."));
    EXPECT_EQ(markup.textFormat(), Qt::PlainText);
    EXPECT_EQ(markup.text(), QStringLiteral("<b>big</b><img src=x>.bxd could not be opened."));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
