// The help pages and the F1 key.
#include "shell/HelpWindow.h"
#include "shell/PreferencesDialog.h"
#include "shell/SystemConfigDialog.h"
#include "tags/gui/InputHelp.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDirIterator>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

class THelpTest : public QObject {
    Q_OBJECT
private slots:
    void everyLinkBetweenPagesLeadsToAPageAndAnchor() {
        QStringList pages;
        for (QDirIterator it(QStringLiteral(":/help")); it.hasNext();)
            pages << QFileInfo(it.next()).fileName();
        QVERIFY(pages.contains(QStringLiteral("index.html")));
        const QRegularExpression href(QStringLiteral("href=\"([a-z]+\\.html)(#([a-z_]+))?\""));
        int links = 0;
        for (const QString& page : pages) {
            if (!page.endsWith(QLatin1String(".html"))) continue;
            QFile f(QStringLiteral(":/help/") + page);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(QLatin1String("<title>")), qPrintable(page));
            for (auto m = href.globalMatch(html); m.hasNext(); ++links) {
                const auto link = m.next();
                QVERIFY2(pages.contains(link.captured(1)),
                         qPrintable(page + " → " + link.captured(1)));
                if (link.captured(3).isEmpty()) continue;
                QFile target(QStringLiteral(":/help/") + link.captured(1));
                QVERIFY(target.open(QIODevice::ReadOnly));
                QVERIFY2(target.readAll().contains("id=\"" + link.captured(3).toUtf8() + "\""),
                         qPrintable(link.captured(0)));
            }
        }
        QVERIFY(links > 5);
    }

    void f1OpensThePageOfTheActiveWindow() {
        THelpWindow::InstallF1(qApp);
        TPreferencesDlg dlg(TSettings{}, QStringLiteral("/x.ini"), TPreferencesDlg::pgAutoReplace);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_F1);
        THelpWindow* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("HelpWindow")) help = static_cast<THelpWindow*>(w);
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("settings.html#autoreplace"));
        QVERIFY(help->Browser->toPlainText().contains(QStringLiteral("4. AutoReplace")));
        // One help window, reused.
        QCOMPARE(THelpWindow::ShowPage(QStringLiteral("tags.html")), help);
        dlg.PageControl->setCurrentIndex(TPreferencesDlg::pgFileShortcuts);
        QCOMPARE(THelpWindow::PageFor(&dlg), QStringLiteral("settings.html#fileshortcuts"));
        QCOMPARE(THelpWindow::PageFor(nullptr), QStringLiteral("index.html"));
    }

    // The input forms open this page at a topic for the field on show.
    void everyInputFormTopicIsAnAnchorOfTheInputFieldsPage() {
        QFile page(QStringLiteral(":/help/inputfields.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        for (const char* topic : InputHelp::kTopics)
            QVERIFY2(html.contains("id=\"" + QByteArray(topic) + "\""), topic);
        QWidget form;
        form.setObjectName(QStringLiteral("InputFieldFrm"));
        InputHelp::SetTopic(&form, "date");
        QCOMPARE(THelpWindow::PageFor(&form), QStringLiteral("inputfields.html#date"));
        THelpWindow* help = THelpWindow::ShowPage(THelpWindow::PageFor(&form));
        QCOMPARE(help->CurrentPage(), QStringLiteral("inputfields.html#date"));
        QVERIFY(help->Browser->toPlainText().contains(QStringLiteral("Keys in the date box")));
        if (const QString shots = qEnvironmentVariable("BREVIX_SHOTS"); !shots.isEmpty())
            help->grab().save(shots + QStringLiteral("/help_inputfields.png"));
    }

    void configurationReportSaysWhatIsMissing() {
        TSystemFacts f;
        f.ProgramVersion = QStringLiteral("10.00");
        f.QtVersion = QStringLiteral("6.4.2");
        f.DisplayReport = QStringLiteral("X server: Test, release 1\nXRecord: MISSING");
        f.ConfigDir = QStringLiteral("/home/u/.config/brevix/");
        const QString none = SystemReport::Format(f);
        QVERIFY(none.contains(QStringLiteral("Tcl: not loaded (scripts off)\n")));
        QVERIFY(none.contains(QStringLiteral("Hook backend: none (keys are not watched)\n")));
        QVERIFY(none.contains(QStringLiteral("XRecord: MISSING\nConfiguration folder:")));
        QVERIFY(none.contains(QStringLiteral("Open dictionary: none\n")));
        f.Dictionary = QStringLiteral("/d/team.bxd");
        f.Entries = 12;
        f.DictionaryBytes = 3400;
        TSystemConfigDlg dlg(SystemReport::Format(f));
        QVERIFY(dlg.ReportMemo->toPlainText().contains(
            QStringLiteral("Open dictionary: /d/team.bxd (12 entries, 3400 bytes)")));
        dlg.CopyBtn->click();
        QCOMPARE(QApplication::clipboard()->text(), dlg.ReportMemo->toPlainText());
    }
};

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    THelpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_help.moc"
