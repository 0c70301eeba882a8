#pragma once
// The dictionary tabs of the last session that did not come back at start-up,
// and the one message that names them.
#include <QString>
#include <QStringList>

struct TDroppedTabs {
    QStringList Missing;    // no such file any more
    QStringList Unreadable; // there, but not opened as a dictionary

    bool Empty() const { return Missing.isEmpty() && Unreadable.isEmpty(); }
    // Names at most `shown` paths in all, the unreadable first; the others
    // are counted.
    QString Message(int shown = 20) const;
};
