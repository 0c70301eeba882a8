#pragma once
// One-field input boxes for scripts: modal, captioned "Brevix Input Box",
// one at a time (a second call while one is open returns false at once).
// Each returns true when the user confirmed with OK.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class TInputHost;

namespace InputBoxes {
bool IsOpen();
bool Line(TInputHost* host, QString& text, const QString& prompt);
bool Memo(TInputHost* host, QString& text, const QString& prompt, bool spell);
bool Message(TInputHost* host, const QString& text, const QString& prompt);
// text: "mm/dd/yyyy" in, and out on OK (today when it is no such date).
bool Date(TInputHost* host, QString& text, const QString& prompt);
bool PickList(TInputHost* host, QList<int>& chosen, const QStringList& items, const QString& prompt,
              bool multiple);

// The script date form, "mm/dd/yyyy".
QDate ParseScriptDate(const QString& text);
QString ScriptDate(const QDate& date);
} // namespace InputBoxes
