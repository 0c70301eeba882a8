#include "tools/bxdict/JsonLine.h"

#include <QStringList>

QByteArray JsonString(const QString& value) {
    QByteArray out = "\"";
    for (char c : value.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += QByteArray("\\u00") +
                       QByteArray::number(static_cast<unsigned char>(c) >> 4, 16) +
                       QByteArray::number(c & 0xF, 16);
            else
                out += c;
        }
    }
    return out + '"';
}

void TJsonLine::Key(const char* key) {
    if (out_.size() > 1) out_ += ',';
    out_ += JsonString(QString::fromLatin1(key)) + ':';
}

TJsonLine& TJsonLine::Add(const char* key, const QString& value) {
    Key(key);
    out_ += JsonString(value);
    return *this;
}

TJsonLine& TJsonLine::Add(const char* key, qint64 value) {
    Key(key);
    out_ += QByteArray::number(value);
    return *this;
}

TJsonLine& TJsonLine::Add(const char* key, const QStringList& values) {
    Key(key);
    out_ += '[';
    for (qsizetype i = 0; i < values.size(); ++i)
        out_ += (i ? "," : "") + JsonString(values[i]);
    out_ += ']';
    return *this;
}
