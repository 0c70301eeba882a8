// The suggestion window, the hint box and the statistics dialogs, offscreen.
#include "dictionary/DictList.h"
#include "platform/IniFile.h"
#include "hook/HookProtocol.h"
#include "platform/VirtualKeys.h"
#include "tests/dictionary/TestEntries.h"
#include "typing/Stats.h"
#include "typing/gui/HintBox.h"
#include "typing/gui/SpeedTestDialog.h"
#include "typing/gui/StatisticsDialog.h"
#include "typing/gui/SuggestStyle.h"
#include "typing/gui/SuggestionOptionsDialog.h"
#include "typing/gui/SuggestionWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {
constexpr uint16_t F(int n) {
    return static_cast<uint16_t>(0x6F + n);
}

std::unique_ptr<TDictionaryList> SampleDictionary() {
    auto dict = std::make_unique<TDictionaryList>();
    AddEntries(*dict, {{"ad", "text", "Advertisement"},
                       {"addr", "text", "Home address"},
                       {"adr", "text", "Office address"},
                       {"adv", "text", "Advice"},
                       {"advt", "text", "Advertisement (short)"},
                       {"adm", "text", "Administrator"},
                       {"ae", "text", "\xC6 ligature"},
                       {"sig", "text", "Signature block"}});
    return dict;
}

TSuggestionStyle SampleSettings() {
    TSuggestionStyle s;
    s.Options = aoAutoReplace | aoAutoReplaceHint | aoAutoComplete | aoAutoReplaceAlwaysShow |
                aoAutoHideSuggestionWindow;
    return s;
}

void SaveScreen(QWidget* w, const QString& name) {
    QDir().mkpath(QStringLiteral(BX_SCREENS_DIR));
    QVERIFY(w->grab().save(QStringLiteral(BX_SCREENS_DIR "/") + name + QStringLiteral(".png")));
}
} // namespace

class AssistWindowsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TDictionaryList> dict_ = SampleDictionary();
    QTemporaryDir dir_;
    QString Ini() const { return dir_.filePath(QStringLiteral("Brevixo.ini")); }
    void WriteIni(const QString& section, const QList<std::pair<const char*, QString>>& values) {
        TIniFile ini(Ini());
        for (const auto& [key, value] : values)
            ini.WriteString(section, QLatin1String(key), value);
        QVERIFY(ini.UpdateFile());
    }
    int IniInt(const QString& section, const char* key) const {
        return TIniFile(Ini()).ReadInteger(section, QLatin1String(key), 0);
    }

    std::unique_ptr<TAssistantForm> MakeForm(const QString& ini = QString()) {
        auto form = std::make_unique<TAssistantForm>(ini);
        form->SetDictionarySource([this] { return dict_.get(); });
        form->ApplySettings(SampleSettings());
        form->SetProgramStarted(true);
        return form;
    }

private slots:
    void threeColumnsRunDownTheColumns() {
        auto form = MakeForm();
        form->SetShown(true);
        form->UpdateSuggestions("ad", -1);
        QCOMPARE(form->DescTxt->text(), QStringLiteral("ad"));
        QCOMPARE(form->Labels[0]->text(), QStringLiteral("[F1]  ad = Advertisement"));
        QCOMPARE(form->Labels[3]->text(), QStringLiteral("[F2]  addr = Home address"));
        QCOMPARE(form->Labels[1]->text(), QStringLiteral("[F4]  adr = Office address"));
        // F2 under F1, F4 beside it.
        QCOMPARE(form->Labels[3]->x(), form->Labels[0]->x());
        QVERIFY(form->Labels[3]->y() > form->Labels[0]->y());
        QCOMPARE(form->Labels[1]->y(), form->Labels[0]->y());
        QVERIFY(form->Labels[1]->x() > form->Labels[0]->geometry().right());
        // The last column reaches the right edge.
        QCOMPARE(form->Labels[2]->geometry().right(), form->width() - 5);
        QVERIFY(!form->NoSuggestionLbl->isVisible());
        SaveScreen(form.get(), QStringLiteral("suggestion-3-columns"));
    }

    void oneColumnShowsNineRowsAndKeepsTheKeys() {
        auto form = MakeForm();
        form->SetShown(true);
        form->UpdateSuggestions("ad", -1);
        const QByteArray f4 = form->GetSuggestionKeyword(F(4));
        const int threeColumnHeight = form->height();
        form->N1Column1->trigger();
        QCOMPARE(form->Columns(), 1);
        QCOMPARE(form->Labels[1]->text(), QStringLiteral("[F2]  addr = Home address"));
        QCOMPARE(form->Labels[3]->text(), QStringLiteral("[F4]  adr = Office address"));
        for (int i = 1; i < 9; ++i) {
            QCOMPARE(form->Labels[i]->x(), form->Labels[0]->x());
            QVERIFY(form->Labels[i]->y() > form->Labels[i - 1]->y());
        }
        QVERIFY(form->height() > threeColumnHeight);
        QCOMPARE(form->GetSuggestionKeyword(F(4)), f4);
        form->resize(360, form->height());
        SaveScreen(form.get(), QStringLiteral("suggestion-1-column"));
        form->N3Columns1->trigger();
        QCOMPARE(form->Columns(), 3);
    }

    void noSuggestionsAndRecognisedEntry() {
        auto form = MakeForm();
        form->SetShown(true);
        form->UpdateSuggestions("xq", -1);
        QVERIFY(form->NoSuggestionLbl->isVisible());
        for (QLabel* l : form->Labels)
            QVERIFY(l->text().isEmpty());
        SaveScreen(form.get(), QStringLiteral("suggestion-none"));
        form->UpdateSuggestions("adv", -1);
        form->UpdateSuggestions("", dict_->IndexOfKeyword("adv"));
        QCOMPARE(form->DescTxt->text(), QStringLiteral("[SPACE]  adv = Advice"));
        QCOMPARE(form->Labels[0]->text(), QStringLiteral("[F1]  advt = Advertisement (short)"));
        QVERIFY(!form->NoSuggestionLbl->isVisible());
        SaveScreen(form.get(), QStringLiteral("suggestion-recognised"));
    }

    void modifierLabels() {
        auto form = MakeForm();
        TSuggestionStyle s = SampleSettings();
        s.ShiftState = ssCtrl | ssShift;
        form->ApplySettings(s);
        form->SetShown(true);
        form->UpdateSuggestions("ad", -1);
        QCOMPARE(form->SuggestionIndexForShortcut(F(1) | 0x2000 | 0x4000), 0);
        QCOMPARE(form->SuggestionIndexForShortcut(F(1)), -1);
    }

    void showsOnlyWhenAutoReplaceIsOnAndStarted() {
        auto form = MakeForm();
        form->SetProgramStarted(false);
        form->SetShown(true);
        QVERIFY(!form->isVisible());
        form->SetProgramStarted(true);
        form->SetOptions(aoAutoReplaceAlwaysShow);
        form->ShowIfEnabled();
        QVERIFY(!form->isVisible());
        form->SetOptions(aoAutoReplace | aoAutoReplaceAlwaysShow);
        form->ShowIfEnabled();
        QVERIFY(form->isVisible());
        form->SetShown(false);
        QVERIFY(!form->isVisible());
        form->ShowIfEnabled();
        QVERIFY(!form->isVisible());
    }

    void grabbedKeysFollowTheListedSuggestions() {
        auto form = MakeForm();
        QSignalSpy spy(form.get(), &TAssistantForm::GrabbedKeysChanged);
        form->UpdateSuggestions("ad", -1); // not yet shown: nothing to grab
        QVERIFY(form->GrabbedKeys().isEmpty());
        form->SetShown(true);
        form->UpdateSuggestions("adv", -1);
        QCOMPARE(form->GrabbedKeys(), (QVector<uint16_t>{F(1), F(2)}));
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.last().at(0).value<QVector<uint16_t>>(), (QVector<uint16_t>{F(1), F(2)}));
        // Hidden by the user: no key selects anything and none is withheld.
        form->HideTemporarily1->trigger();
        QVERIFY(form->HiddenByUser());
        QVERIFY(!form->isVisible());
        QVERIFY(form->GrabbedKeys().isEmpty());
        QVERIFY(spy.last().at(0).value<QVector<uint16_t>>().isEmpty());
        QCOMPARE(form->SuggestionIndexForShortcut(F(1)), -1);
        QVERIFY(form->GetSuggestionKeyword(F(1)).isEmpty());
        form->ShowIfEnabled();
        QCOMPARE(form->SuggestionIndexForShortcut(F(2)), 1);
        form->SetShown(true);
        QVERIFY(!form->HiddenByUser());
        form->close(); // the frame's close button hides it for now
        QVERIFY(form->HiddenByUser());
        QVERIFY(form->Enabled());
    }

    void popupMenu() {
        auto form = MakeForm();
        QWidget main;
        form->SetMainWindow(&main);
        form->SetShown(true);
        QSignalSpy restore(form.get(), &TAssistantForm::RestoreRequested);
        QSignalSpy prefs(form.get(), &TAssistantForm::PreferencesRequested);
        QSignalSpy about(form.get(), &TAssistantForm::AboutRequested);
        const auto openMenu = [&] {
            QTimer::singleShot(0, form->PopupMenu1, &QMenu::close);
            form->MenuBtn->click();
        };
        openMenu();
        QVERIFY(form->Restore1->isEnabled()); // the main window is hidden
        QVERIFY(form->N3Columns1->isChecked());
        QVERIFY(!form->N1Column1->isChecked());
        main.show();
        openMenu();
        QVERIFY(!form->Restore1->isEnabled());
        main.hide();
        openMenu();
        form->Restore1->trigger();
        QCOMPARE(restore.count(), 1);
        QVERIFY(!form->isVisible()); // "AutoHideSuggestionWindow"
        QVERIFY(form->Enabled());
        form->Preferences1->trigger();
        form->About1->trigger();
        QCOMPARE(prefs.count(), 1);
        QCOMPARE(about.count(), 1);
    }

    void placementAndColumnsAreKept() {
        const QString section = QStringLiteral("SuggestionWindow");
        WriteIni(section, {{"Top", "120"}, {"Left", "140"}, {"Width", "333"}, {"Cols", "1"}});
        {
            auto form = MakeForm(Ini());
            QCOMPARE(form->Columns(), 1);
            QCOMPARE(form->pos(), QPoint(140, 120));
            QCOMPARE(form->width(), 333);
            form->SetColumns(3);
            form->setGeometry(50, 60, 500, form->height());
        }
        QCOMPARE(IniInt(section, "Cols"), 3);
        QCOMPARE(
            QRect(IniInt(section, "Left"), IniInt(section, "Top"), IniInt(section, "Width"), 1),
            QRect(50, 60, 500, 1));
    }

    void damagedPlacementStaysOnTheScreen() {
        WriteIni(QStringLiteral("SuggestionWindow"),
                 {{"Top", "-99999"}, {"Left", "junk"}, {"Cols", "-7"}});
        auto form = MakeForm(Ini());
        QCOMPARE(form->Columns(), 3);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.intersects(form->geometry()));
    }

    void hintBoxPlacement() {
        const QRect screen(0, 0, 1000, 800);
        const QSize box(120, 40);
        const QRect target(100, 100, 400, 300);
        struct Case {
            QRect target;
            std::optional<QPoint> caret;
            QPoint expected;
        } cases[] = {
            {target, std::nullopt, QPoint(102, 402)},                    // below the left corner
            {target, QPoint(200, 150), QPoint(208, 171)},                // at the caret
            {target, QPoint(600, 150), QPoint(102, 402)},                // caret outside the window
            {QRect(900, 100, 90, 50), std::nullopt, QPoint(878, 152)},   // moved left
            {QRect(100, 500, 400, 280), std::nullopt, QPoint(102, 458)}, // above the window
            {QRect(0, 0, 1000, 790), std::nullopt, QPoint(2, 1)},        // nowhere else: top
            {QRect(), std::nullopt, QPoint(300, 300)},                   // no target: where it was
        };
        for (const Case& c : cases)
            QCOMPARE(TBx5HintBox::Place(box, c.target, c.caret, screen, QPoint(300, 300)),
                     c.expected);
    }

    // Whether the windows take the focus only a real window manager shows (assist_focus).
    void hintBoxShowsTheLines() {
        TBx5HintBox hint(Ini());
        hint.SetKeyword("addr");
        hint.SetDescription("Home address, with the postcode");
        hint.SetFileName(QStringLiteral("/home/u/dicts/work.bxd"));
        QCOMPARE(hint.Desc2Txt->text(), QStringLiteral("Brevix: work.bxd"));
        const QRect r = hint.ShowFor(QRect(50, 60, 500, 300));
        QVERIFY(hint.isVisible());
        QCOMPARE(r.topLeft(), QPoint(52, 362));
        const int textWidth = hint.Desc1Txt->fontMetrics().horizontalAdvance(hint.Desc1Txt->text());
        QCOMPARE(r.width(), textWidth + 16);
        QCOMPARE(hint.Desc1Txt->width(), r.width());
        QVERIFY(hint.Desc2Txt->y() >= r.height()); // below the visible area
        hint.SetColor(8454143);
        SaveScreen(&hint, QStringLiteral("hint-box"));
        hint.SetDescription("");
        hint.SetKeyword("a");
        QCOMPARE(hint.ShowFor(QRect(50, 60, 500, 300)).width(), 50);
    }

    void hintBoxMouse() {
        TBx5HintBox hint{QString()};
        hint.SetKeyword("sig");
        hint.SetDescription("Signature block");
        hint.ShowFor(QRect(100, 100, 300, 200));
        QSignalSpy restore(&hint, &TBx5HintBox::RestoreRequested);
        const QPoint start = hint.pos();
        QTest::mousePress(&hint, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), hint.mapToGlobal(QPointF(35, 25)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&hint, &move);
        QTest::mouseRelease(&hint, Qt::LeftButton, {}, QPoint(35, 25));
        QCOMPARE(hint.pos(), start + QPoint(30, 20));
        QCOMPARE(restore.count(), 0);
        QTest::mousePress(&hint, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(restore.count(), 1);
        QVERIFY(!hint.Pause1->isChecked());
        hint.Pause1->trigger();
        QVERIFY(hint.Pause1->isChecked());
    }

    void hintBoxPositionIsKept() {
        {
            TBx5HintBox hint(Ini());
            hint.move(210, 230);
        }
        QCOMPARE(IniInt(QStringLiteral("HintWindow"), "Left"), 210);
        QCOMPARE(IniInt(QStringLiteral("HintWindow"), "Top"), 230);
        TBx5HintBox again(Ini());
        QCOMPARE(again.pos(), QPoint(210, 230));
    }

    void suggestionOptions() {
        TSuggestionOptionsDlg dlg(ssCtrl | ssAlt);
        QVERIFY(dlg.CtrlChk->isChecked());
        QVERIFY(dlg.AltChk->isChecked());
        QVERIFY(!dlg.ShiftChk->isChecked());
        dlg.AltChk->setChecked(false);
        dlg.ShiftChk->setChecked(true);
        QCOMPARE(dlg.ShiftState(), uint8_t(ssCtrl | ssShift));
        QCOMPARE(dlg.ExampleLbl->text(),
                 QStringLiteral("The first suggestion is chosen with Shift+Ctrl+F1."));
        dlg.show();
        SaveScreen(&dlg, QStringLiteral("suggestion-options"));
    }

    void statisticsDialog() {
        uint32_t autoKeys = 90, total = 360;
        int resets = 0;
        TKeyStatistics stats({[&] { return autoKeys; }, [&] { return total; },
                              [&] { autoKeys = total = 0, ++resets; }});
        stats.Load(0, 0, QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
        WriteIni(QStringLiteral("StatDlg"), {{"UserCPM", "0"}});
        {
            TStatisticsDlg dlg(stats, Ini());
            QCOMPARE(dlg.SpeedEdit->value(), 180); // below 1: the default
            QCOMPARE(dlg.TotalLbl->text(), Stats::TotalLine(270));
            QCOMPARE(dlg.TimeSavedLbl->text(), Stats::TimeSavedLine(90, 180));
            dlg.show();
            SaveScreen(&dlg, QStringLiteral("statistics"));
            dlg.SpeedEdit->setValue(90);
            QCOMPARE(dlg.TimeSavedLbl->text(), Stats::TimeSavedLine(90, 90));

            // The speed test replaces the speed only with a measured one, and
            // the dialog stays open around it, even while it runs modally.
            QList<int> answers{240, 0};
            QList<int> offered;
            bool hiddenWhileTesting = true;
            dlg.SetSpeedTest([&](int speed) {
                hiddenWhileTesting = hiddenWhileTesting && !dlg.isVisible();
                offered << speed;
                return answers.takeFirst();
            });
            QTimer::singleShot(0, &dlg, [&] {
                dlg.SpeedTestBtn->click();
                QCOMPARE(dlg.SpeedEdit->value(), 240);
                dlg.SpeedTestBtn->click();
                QCOMPARE(dlg.SpeedEdit->value(), 240);
                QVERIFY(dlg.isVisible());
                dlg.done(QDialog::Accepted + 5);
            });
            QCOMPARE(dlg.exec(), QDialog::Accepted + 5);
            QVERIFY(hiddenWhileTesting);
            QCOMPARE(offered, (QList<int>{90, 240}));

            dlg.ResetBtn->click();
            QCOMPARE(resets, 1);
            QCOMPARE(dlg.AutoLbl->text(), Stats::AutoLine(0, 0));
        }
        QCOMPARE(IniInt(QStringLiteral("StatDlg"), "UserCPM"), 240);
    }

    void speedTest() {
        TSpeedTestDlg dlg(150);
        dlg.show();
        dlg.Memo1->setPlainText(QStringLiteral("instructions left over"));
        SaveScreen(&dlg, QStringLiteral("speed-test"));
        QTest::keyClicks(dlg.Memo1, QStringLiteral("hello wo"));
        QVERIFY(dlg.Running());
        QCOMPARE(dlg.Memo1->toPlainText(), QStringLiteral("hello wo")); // box cleared first
        QCOMPARE(dlg.CounterPnl->text(), QStringLiteral("5"));
        QCOMPARE(dlg.CloseBtn->text(), QStringLiteral("&Cancel"));
        for (int i = 0; i < 4; ++i)
            dlg.Timer1Timer();
        QCOMPARE(dlg.CounterPnl->text(), QStringLiteral("1"));
        QCOMPARE(dlg.Speed(), 150);
        QTest::keyClicks(dlg.Memo1, QStringLiteral("rld"));
        dlg.Timer1Timer();
        QVERIFY(!dlg.Running());
        QCOMPARE(dlg.Speed(), 11 * 12);
        QCOMPARE(dlg.PageControl1->currentIndex(), 1);
        QVERIFY(dlg.ResultLbl->text().contains(QStringLiteral("132")));
        SaveScreen(&dlg, QStringLiteral("speed-test-result"));
        dlg.CloseBtnClick();
        QVERIFY(!dlg.isVisible());
    }

    void speedTestCancelledOrUntouched() {
        TSpeedTestDlg dlg(150);
        dlg.show();
        QTest::keyClicks(dlg.Memo1, QStringLiteral("abc"));
        dlg.CloseBtnClick(); // cancels, the dialog stays
        QVERIFY(!dlg.Running());
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.Memo1->toPlainText().isEmpty());
        dlg.Timer1Timer(); // a late tick changes nothing
        QCOMPARE(dlg.PageControl1->currentIndex(), 0);
        dlg.CloseBtnClick();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.Speed(), 150);
    }
};

QTEST_MAIN(AssistWindowsTest)
#include "AssistWindowsTest.moc"
