#pragma once
// The help page about input fields, at a topic for each kind of field and
// each input window. A window carries its page in the property kProperty, so
// F1 finds it; its Help button opens it through the host's help window.
#include <QString>

class QWidget;
class TInputHost;

namespace InputHelp {

inline constexpr char kProperty[] = "helpPage";
inline constexpr const char* kTopics[] = {"names",  "form",    "text",     "picklist",
                                          "date",   "file",    "tcl",      "message",
                                          "review", "preview", "sessions", "inputbox"};

// "inputfields.html#" + topic.
QString Page(const char* topic);
// What F1 and Help show for window from now on.
void SetTopic(QWidget* window, const char* topic);
// Opens window's page; without a help window to show it, says where the help is.
void Open(QWidget* window, TInputHost* host);

} // namespace InputHelp
