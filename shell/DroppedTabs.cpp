#include "shell/DroppedTabs.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("TDroppedTabs", text);
}

// The heading, up to `room` paths, and a count of the rest.
QString Group(const QString& heading, const QStringList& paths, qsizetype& room) {
    if (paths.isEmpty()) return QString();
    const qsizetype listed = std::min(room, paths.size());
    room -= listed;
    QString out = QLatin1Char('\n') + heading;
    for (qsizetype i = 0; i < listed; ++i)
        out += QStringLiteral("\n    ") + paths[i];
    if (listed < paths.size())
        out += QStringLiteral("\n    ") + Tr("... and %1 more").arg(paths.size() - listed);
    return out;
}
} // namespace

QString TDroppedTabs::Message(int shown) const {
    qsizetype room = std::max(0, shown);
    const qsizetype count = Missing.size() + Unreadable.size();
    QString text = count == 1 ? Tr("One dictionary of the last session was left out of the tabs:")
                              : Tr("%1 dictionaries of the last session were left out of the "
                                   "tabs:")
                                    .arg(count);
    // The few that are there but broken come first: they need a look.
    text += Group(Tr("Could not be opened:"), Unreadable, room);
    text += Group(Tr("Not found:"), Missing, room);
    return text;
}
