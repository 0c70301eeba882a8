#pragma once
// Prints a text as plain lines: through the print dialog where a printer is
// installed, else into a PDF file the user names. Never silently nothing.
#include <QString>

class QFont;
class QWidget;

// False when the user cancelled or printing failed (then a message was shown).
bool PrintPlainText(QWidget* parent, const QString& text, const QFont& font, const QString& title);
