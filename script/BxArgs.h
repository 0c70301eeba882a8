#pragma once
// Pieces every Brevix Tcl command shares: the usual messages, integer
// arguments and the conversions of texts crossing to and from scripts.
#include <QByteArray>
#include <QList>
#include <optional>

namespace BxArgs {

// wrong # of args: should be "<usage>"
QByteArray WrongArgs(const QByteArray& usage);
// bad option "<option>": must be <list>
QByteArray BadOption(const QByteArray& option, const QByteArray& list);
// "<command>" does not expect any arguments.
QByteArray NoArgs(const QByteArray& command);

// A Tcl integer: decimal, optionally signed, blanks around it allowed.
// Empty when the text is not one or does not fit 32 bits.
std::optional<int> ParseInt(const QByteArray& text);

// Argument i, or an empty text when the script gave fewer.
inline QByteArray Arg(const QList<QByteArray>& argv, qsizetype i) {
    return i < argv.size() ? argv[i] : QByteArray();
}

} // namespace BxArgs
