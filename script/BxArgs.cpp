#include "script/BxArgs.h"

#include <climits>

namespace BxArgs {

QByteArray WrongArgs(const QByteArray& usage) {
    return "wrong # of args: should be \"" + usage + "\"";
}

QByteArray BadOption(const QByteArray& option, const QByteArray& list) {
    return "bad option \"" + option + "\": must be " + list;
}

QByteArray NoArgs(const QByteArray& command) {
    return "\"" + command + "\" does not expect any arguments.";
}

std::optional<int> ParseInt(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    long long value = 0;
    for (qsizetype j = i; j < t.size(); ++j) {
        if (t[j] < '0' || t[j] > '9') return std::nullopt;
        value = value * 10 + (t[j] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (t[0] == '-') value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

} // namespace BxArgs
