#include "platform/SafeFile.h"

#include <QSaveFile>

namespace SafeFile {
bool Write(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile f(path); // temporary beside the target, fsync, then rename
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    if (f.write(data) != data.size()) {
        if (error)
            *error = QStringLiteral("Error writing to file \"%1\": %2").arg(path, f.errorString());
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error) *error = QStringLiteral("Cannot save \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    return true;
}
} // namespace SafeFile
