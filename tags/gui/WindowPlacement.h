#pragma once
// Where the input windows stood last time, kept in a section of "Brevixo.ini".
#include <QString>

class QWidget;

namespace WindowPlacement {
// Nothing happens when iniPath is empty or the section holds no position.
void Restore(QWidget* window, const QString& iniPath, const QString& section);
void Save(const QWidget* window, const QString& iniPath, const QString& section);
} // namespace WindowPlacement
