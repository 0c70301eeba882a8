#pragma once
// Writing that never destroys the file it replaces: a temporary file in the
// same folder is written, flushed to disk and renamed over the target. And
// reading that never blocks: only regular files are opened.
// Failures are told in the system's own words ("No space left on device").
#include <QByteArray>
#include <QDateTime>
#include <QString>

class QFile;

// A new version of a file, written beside it and put in its place only by
// Commit; dropped (the temporary removed) when not committed.
class TPendingFile {
public:
    explicit TPendingFile(QString path);
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    // The whole data, on disk when it returns true; false with Error() set.
    // The temporary takes the permissions of the file it replaces.
    bool Write(const QByteArray& data, const QDateTime& modified = QDateTime());
    // Renames the written temporary over the target.
    bool Commit();
    const QString& Error() const { return error_; }

private:
    bool Fail(const QString& what, int error);
    void Drop();
    QByteArray Target() const;

    QString path_;
    QByteArray target_;
    QByteArray temporary_;
    int fd_ = -1;
    bool written_ = false;
    QString error_;
};

namespace SafeFile {
// False with a message in *error when anything fails; the old file is then untouched.
bool Write(const QString& path, const QByteArray& data, QString* error = nullptr);

// Opens an existing regular file for reading, never waiting: a named pipe,
// a folder or a device is refused before it is opened, and the open file is
// checked again. False with a message in *error.
bool OpenForReading(const QString& path, QFile& file, QString* error = nullptr);
} // namespace SafeFile
