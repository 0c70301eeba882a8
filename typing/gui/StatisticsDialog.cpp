#include "typing/gui/StatisticsDialog.h"

#include "platform/IniFile.h"
#include "platform/Placement.h"
#include "typing/Stats.h"
#include "typing/gui/SpeedTestDialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("StatDlg");
const QString kUserCPM = QStringLiteral("UserCPM");

QLabel* Line(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}
} // namespace

TStatisticsDlg::TStatisticsDlg(TKeyStatistics& statistics, const QString& iniPath, QWidget* parent)
    : QDialog(parent), statistics_(statistics), iniPath_(iniPath) {
    setObjectName(QStringLiteral("StatisticsDlg"));
    setWindowTitle(tr("Keystroke Statistics"));
    speedTest_ = [this](int speed) {
        TSpeedTestDlg dlg(speed, this);
        dlg.exec();
        return dlg.Speed();
    };

    auto* counts = new QGroupBox(tr("Keystrokes"), this);
    DateLbl = Line(counts, "DateLbl");
    TotalLbl = Line(counts, "TotalLbl");
    AutoLbl = Line(counts, "AutoLbl");
    auto* countsLayout = new QVBoxLayout(counts);
    countsLayout->addWidget(DateLbl);
    countsLayout->addSpacing(4);
    countsLayout->addWidget(TotalLbl);
    countsLayout->addWidget(AutoLbl);

    auto* saved = new QGroupBox(tr("Time Saved"), this);
    auto* speedLbl = new QLabel(tr("Your typing &speed (characters per minute):"), saved);
    SpeedEdit = new QSpinBox(saved);
    SpeedEdit->setObjectName(QStringLiteral("SpeedEdit"));
    SpeedEdit->setRange(1, 9999);
    speedLbl->setBuddy(SpeedEdit);
    SpeedTestBtn = new QPushButton(tr("Speed &Test..."), saved);
    SpeedTestBtn->setObjectName(QStringLiteral("SpeedTestBtn"));
    TimeSavedLbl = Line(saved, "TimeSavedLbl");
    QFont strong = TimeSavedLbl->font();
    strong.setBold(true);
    TimeSavedLbl->setFont(strong);
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(speedLbl);
    speedRow->addWidget(SpeedEdit);
    speedRow->addWidget(SpeedTestBtn);
    speedRow->addStretch();
    auto* savedLayout = new QVBoxLayout(saved);
    savedLayout->addLayout(speedRow);
    savedLayout->addWidget(TimeSavedLbl);

    ResetBtn = new QPushButton(tr("&Reset keystroke counters"), this);
    ResetBtn->setObjectName(QStringLiteral("ResetBtn"));
    ResetBtn->setAutoDefault(false);
    CloseBtn = new QPushButton(tr("&Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ResetBtn);
    buttons->addStretch();
    buttons->addWidget(CloseBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counts);
    layout->addWidget(saved);
    layout->addLayout(buttons);
    setMinimumWidth(470);

    connect(ResetBtn, &QPushButton::clicked, this, &TStatisticsDlg::ResetBtnClick);
    connect(SpeedTestBtn, &QPushButton::clicked, this, &TStatisticsDlg::SpeedTestBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    int speed = TKeyStatistics::DefaultUserCPM;
    if (!iniPath_.isEmpty()) {
        const TIniFile ini(iniPath_);
        speed = ini.ReadInteger(kSection, kUserCPM, speed);
        if (ini.ValueExists(kSection, QStringLiteral("Top"))) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
            adjustSize();
            move(Placement::Read(ini, kSection, geometry(), area, false, 50).Rect.topLeft());
        }
    }
    SpeedEdit->setValue(std::min(Stats::NormaliseUserCPM(speed), SpeedEdit->maximum()));
    connect(SpeedEdit, &QSpinBox::valueChanged, this, &TStatisticsDlg::SpeedEditChange);
    Refresh();
}

TStatisticsDlg::~TStatisticsDlg() {
    if (iniPath_.isEmpty()) return;
    TIniFile ini(iniPath_);
    ini.WriteInteger(kSection, kUserCPM, SpeedEdit->value());
    Placement::Write(ini, kSection, geometry(), false, false);
    if (!ini.UpdateFile())
        qWarning("Statistics settings not saved: %s", qPrintable(ini.ErrorString()));
}

void TStatisticsDlg::Refresh() {
    DateLbl->setText(Stats::DateLine(statistics_.StatDate(), QLocale::system()));
    qint64 user = 0;
    statistics_.GetKeyCounts(program_, user);
    TotalLbl->setText(Stats::TotalLine(user));
    AutoLbl->setText(Stats::AutoLine(program_, user));
    SpeedEditChange();
}

void TStatisticsDlg::SpeedEditChange() {
    TimeSavedLbl->setText(Stats::TimeSavedLine(program_, SpeedEdit->value()));
}

void TStatisticsDlg::ResetBtnClick() {
    statistics_.ResetKeyCounts();
    Refresh();
}

void TStatisticsDlg::SpeedTestBtnClick() {
    // QDialog::hide would end a running exec(); the dialog only steps aside.
    QWidget::setVisible(false);
    const int speed = speedTest_(SpeedEdit->value());
    QWidget::setVisible(true);
    if (speed > 0) SpeedEdit->setValue(std::min(speed, SpeedEdit->maximum()));
    Refresh();
}
