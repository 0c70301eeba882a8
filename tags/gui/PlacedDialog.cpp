#include "tags/gui/PlacedDialog.h"

#include "platform/IniFile.h"
#include "platform/Placement.h"

#include <QScreen>

TPlacedDialog::TPlacedDialog(const QString& section, const QString& iniPath, QWidget* parent)
    : QDialog(parent), section_(section), iniPath_(iniPath) {
    setObjectName(section);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TPlacedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_ || iniPath_.isEmpty()) return;
    placed_ = true;
    const TIniFile ini(iniPath_);
    if (!ini.SectionExists(section_)) return;
    const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const TPlacement p = Placement::Read(ini, section_, geometry(), area, true, 50);
    setGeometry(p.Rect.intersected(area).isEmpty() ? geometry() : p.Rect);
    if (p.Maximized) showMaximized();
}

void TPlacedDialog::SavePlacement() {
    if (iniPath_.isEmpty()) return;
    TIniFile ini(iniPath_);
    Placement::Write(ini, section_, normalGeometry().isValid() ? normalGeometry() : geometry(),
                     isMaximized(), false);
    ini.UpdateFile();
}

void TPlacedDialog::done(int result) {
    SavePlacement();
    QDialog::done(result);
}
