#pragma once
// What the entry editor and its tag dialogs use of the layers above them;
// the shell fills it. An empty function leaves its command disabled.
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

struct TEditorServices {
    // The settings file ("DictEdit" and the dialogs' places); empty keeps nothing.
    QString IniPath;
    // The folder of the open dictionary file, where file fields look first.
    QString DictionaryFolder;
    // The font of the main window's text box.
    QFont TextFont;
    // "Select Shortcut Key": true on OK with the new code.
    std::function<bool(uint16_t& code, QWidget* parent)> ShortcutDialog;
    // The next key pressed anywhere; 0 when cancelled.
    std::function<uint16_t(QWidget* parent)> NextKey;
    // A recording of keys typed in other programs; empty when cancelled.
    std::function<QString(QWidget* parent)> Record;
    // Checks the spelling of the text in place; false when the user cancelled.
    std::function<bool(QWidget* parent, QString& text)> SpellCheck;
    // The Tcl script dialog: the {@INPUTTCL} tag it wrote, or nothing on Cancel.
    std::function<std::optional<QString>(QWidget* parent)> TclTag;
    // The help page of the editor.
    std::function<void()> ShowHelp;
    // Opens a file in the user's text editor, in the given working folder.
    std::function<bool(const QString& file, const QString& folder)> OpenInEditor;
};
