#pragma once
// One-line JSON with keys in a fixed order (QJsonObject would sort them).
#include <QByteArray>
#include <QString>

class TJsonLine {
public:
    TJsonLine& Add(const char* key, const QString& value);
    TJsonLine& Add(const char* key, qint64 value);
    TJsonLine& Add(const char* key, const QStringList& values);
    QByteArray Finish() const { return out_ + "}\n"; }

private:
    void Key(const char* key);
    QByteArray out_ = "{";
};

// A JSON string literal, UTF-8, with quotes.
QByteArray JsonString(const QString& value);
