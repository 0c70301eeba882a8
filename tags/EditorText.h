#pragma once
// What the entry editor checks in a text and the tags its dialogs write,
// free of any window so that each can be tested alone.
#include <QString>
#include <QStringList>

namespace EditorText {

// The first "{" without its "}", or -1 when every brace is matched.
qsizetype UnbalancedBrace(const QString& text);

// The names of the input fields in the text, in order, each once.
QStringList InputFieldNames(const QString& text);

// A variable name as the dialogs take it: trimmed, blanks made "_".
QString VariableName(const QString& name);

// "{@INPUT(name) prompt @SINGLE @SEP="sep"\r\nitem\r\n...}"; the parts that
// are empty are left out, and the pick-list options only come with items.
QString InputTag(const QString& name, const QString& prompt, const QStringList& pickList = {},
                 bool multiple = true, const QString& separator = QString());
QString InputDateTag(const QString& name, const QString& prompt, bool longFormat);
QString InputFileTag(const QString& name, const QString& fileName);
QString InputMsgTag(const QString& message);
QString InputTclTag(const QString& script);
// "{@" + the trimmed body + "}".
QString Tag(const QString& body);

// "1 line" or "n lines".
QString LinesCaption(int lines);
// "1 item" or "n items".
QString ItemsCaption(int items);

} // namespace EditorText
