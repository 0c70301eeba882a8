#pragma once
#include <QIcon>
// The program's icon, drawn so that no image plugin is needed.
QIcon AppIcon();
