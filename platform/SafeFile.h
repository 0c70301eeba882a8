#pragma once
// Writing that never destroys the file it replaces: a temporary file in the
// same folder is written, flushed to disk and renamed over the target.
#include <QByteArray>
#include <QString>

namespace SafeFile {
// False with a message in *error when anything fails; the old file is then untouched.
bool Write(const QString& path, const QByteArray& data, QString* error = nullptr);
} // namespace SafeFile
