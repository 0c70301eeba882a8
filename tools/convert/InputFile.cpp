#include "tools/convert/InputFile.h"

#include "platform/SafeFile.h"
#include "platform/Utf8.h"

#include <QFile>
#include <string_view>

namespace InputFile {

bool Read(const QString& path, QByteArray& data, QString& problem, qint64 maxBytes) {
    QFile file;
    QString error;
    if (!SafeFile::OpenForReading(path, file, &error)) {
        problem = error;
        return false;
    }
    if (file.size() > maxBytes) {
        problem =
            QStringLiteral("%1: the file is larger than %2 MiB").arg(path).arg(maxBytes >> 20);
        return false;
    }
    data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (data.size() > maxBytes) { // grew while we read it
        problem =
            QStringLiteral("%1: the file is larger than %2 MiB").arg(path).arg(maxBytes >> 20);
        return false;
    }
    return true;
}

bool DecodeUtf8(const QByteArray& data, QString& text, QString& problem) {
    const qsizetype skip = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const std::string_view bytes(data.constData() + skip, static_cast<size_t>(data.size() - skip));
    qsizetype offset = skip, bad = -1;
    // Decode reports each bad byte as one invalid code point, so the offset
    // can be followed through the code points' encoded lengths.
    Utf8::Decode(bytes, [&](uint32_t cp) {
        if (bad >= 0) return;
        if (cp == Utf8::kInvalid || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            bad = offset;
            return;
        }
        offset += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    });
    if (bad >= 0) {
        problem = QStringLiteral("line %1: the file is not UTF-8 text (byte 0x%2 at offset %3)")
                      .arg(LineAt(data, bad))
                      .arg(static_cast<unsigned char>(data[bad]), 2, 16, QLatin1Char('0'))
                      .arg(bad);
        return false;
    }
    text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return true;
}

int LineAt(const QByteArray& data, qsizetype offset) {
    return static_cast<int>(data.left(offset).count('\n')) + 1;
}

} // namespace InputFile
