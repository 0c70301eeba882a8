#pragma once
// A font as the settings store it: name, point size, bold.
#include <QString>

struct TFontSpec {
    QString Name;
    int Size = 9;
    bool Bold = false;
};
