#pragma once
// Failures carry the message the user sees; the application's exception
// handler shows it in a message box and the program goes on.
#include <QString>
#include <exception>

class EBrevix : public std::exception {
public:
    explicit EBrevix(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A user's Cancel inside a nested operation: unwinds silently.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "aborted"; }
};
