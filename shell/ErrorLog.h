#pragma once
// The unexpected errors of this run, kept for the error report: failures
// that escaped an event handler and the warnings Qt itself reports. Only
// the error and where the program was are kept; typed keys, clipboard
// contents and the texts of entries never reach it.
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QString>
#include <functional>

enum class TErrorKind { Exception, Critical, Warning };

struct TErrorRecord {
    QDateTime Time;
    TErrorKind Kind = TErrorKind::Exception;
    QString Message;
    QString Context; // what the program was doing
    int Count = 1;   // the same error repeated at once
};

class TErrorLog {
public:
    static constexpr qsizetype MaxRecords = 200;
    static constexpr qsizetype MaxMessageLength = 4000;

    static TErrorLog& Instance();

    // From any thread. Repeats of the last record only count up; the oldest
    // records make room for new ones.
    void Add(TErrorKind kind, const QString& message, const QString& context = {});
    QList<TErrorRecord> Records() const;
    void Clear();
    // Called after each Add, on the adding thread.
    void SetListener(std::function<void(const TErrorRecord&)> listener);

    // One line for a list, and the full text of a record.
    static QString Summary(const TErrorRecord& record);
    static QString Details(const TErrorRecord& record);
    static QString KindName(TErrorKind kind);
    // The whole report as copied for a support request.
    QString Report() const;

    // Qt's warnings and critical messages are added from now on, and still
    // printed as before.
    static void CaptureQtMessages();

private:
    mutable QMutex mutex_;
    QList<TErrorRecord> records_;
    std::function<void(const TErrorRecord&)> listener_;
    QDateTime started_ = QDateTime::currentDateTime();
};

// The lines at the head of the report: program, Qt and system versions.
QString ErrorReportHeader();

class QObject;
class QEvent;
// "a MouseButtonRelease event for QPushButton "SaveBtn"": where an event
// handler failed, without anything the event carried (no key, no text).
QString DescribeEvent(const QObject* receiver, const QEvent* event);
