#pragma once
// Adapting an expansion to the capitals typed in its keyword.
#include <QByteArray>

// A keyword typed with a capital first letter gives the text a capital first
// letter; typed all in capitals (at least one capital that the text lacks at
// the same place, and no small letter) gives the text all in capitals.
void MatchCase(const QByteArray& typed, QByteArray& text);
