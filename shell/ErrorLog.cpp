#include "shell/ErrorLog.h"

#include "shell/CommandLine.h"

#include <QEvent>
#include <QMetaEnum>
#include <QObject>
#include <QSysInfo>
#include <QtGlobal>

namespace {
QtMessageHandler gPreviousHandler = nullptr;
thread_local bool gInHandler = false;

void QtMessageToLog(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // A message raised while the log itself works is only printed.
    if (!gInHandler && (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)) {
        gInHandler = true;
        QStringList where;
        if (context.category && qstrcmp(context.category, "default") != 0)
            where << QStringLiteral("category %1").arg(QString::fromLatin1(context.category));
        if (context.function) where << QString::fromUtf8(context.function);
        if (context.file)
            where << QStringLiteral("%1:%2").arg(QString::fromUtf8(context.file)).arg(context.line);
        TErrorLog::Instance().Add(type == QtWarningMsg ? TErrorKind::Warning : TErrorKind::Critical,
                                  text, where.join(QStringLiteral(", ")));
        gInHandler = false;
    }
    if (gPreviousHandler) gPreviousHandler(type, context, text);
}
} // namespace

TErrorLog& TErrorLog::Instance() {
    static TErrorLog log;
    return log;
}

void TErrorLog::Add(TErrorKind kind, const QString& message, const QString& context) {
    TErrorRecord record{QDateTime::currentDateTime(), kind, message.left(MaxMessageLength),
                        context.left(MaxMessageLength)};
    std::function<void(const TErrorRecord&)> listener;
    {
        QMutexLocker lock(&mutex_);
        if (!records_.isEmpty() && records_.last().Kind == kind &&
            records_.last().Message == record.Message &&
            records_.last().Context == record.Context) {
            ++records_.last().Count;
            records_.last().Time = record.Time;
            record = records_.last();
        } else {
            if (records_.size() >= MaxRecords) records_.removeFirst();
            records_.append(record);
        }
        listener = listener_;
    }
    if (listener) listener(record);
}

QList<TErrorRecord> TErrorLog::Records() const {
    QMutexLocker lock(&mutex_);
    return records_;
}

void TErrorLog::Clear() {
    QMutexLocker lock(&mutex_);
    records_.clear();
}

void TErrorLog::SetListener(std::function<void(const TErrorRecord&)> listener) {
    QMutexLocker lock(&mutex_);
    listener_ = std::move(listener);
}

QString TErrorLog::KindName(TErrorKind kind) {
    switch (kind) {
    case TErrorKind::Exception:
        return QStringLiteral("Error");
    case TErrorKind::Critical:
        return QStringLiteral("Critical");
    case TErrorKind::Warning:
        return QStringLiteral("Warning");
    }
    return {};
}

QString TErrorLog::Summary(const TErrorRecord& record) {
    QString line = record.Message.section(QLatin1Char('\n'), 0, 0).left(120);
    if (record.Count > 1) line += QStringLiteral(" (%1 times)").arg(record.Count);
    return QStringLiteral("%1  %2  %3")
        .arg(record.Time.toString(QStringLiteral("HH:mm:ss")), KindName(record.Kind), line);
}

QString TErrorLog::Details(const TErrorRecord& record) {
    QString text = QStringLiteral("%1 at %2")
                       .arg(KindName(record.Kind), record.Time.toString(Qt::ISODateWithMs));
    if (record.Count > 1) text += QStringLiteral(", %1 times in a row").arg(record.Count);
    text += QStringLiteral("\n") + record.Message;
    if (!record.Context.isEmpty()) text += QStringLiteral("\nWhere: ") + record.Context;
    return text;
}

QString TErrorLog::Report() const {
    const QList<TErrorRecord> records = Records();
    QString text = ErrorReportHeader();
    text += QStringLiteral("Collected since: %1\n").arg(started_.toString(Qt::ISODate));
    text += QStringLiteral("Errors: %1\n").arg(records.size());
    for (const TErrorRecord& record : records)
        text += QStringLiteral("\n") + Details(record) + '\n';
    return text;
}

void TErrorLog::CaptureQtMessages() {
    QtMessageHandler previous = qInstallMessageHandler(QtMessageToLog);
    if (previous != QtMessageToLog) gPreviousHandler = previous;
}

QString ErrorReportHeader() {
    return QStringLiteral("%1\nQt: %2\nSystem: %3 (%4, %5)\n")
        .arg(ProgramVersionText().trimmed(), QString::fromLatin1(qVersion()),
             QSysInfo::prettyProductName(),
             QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}

QString DescribeEvent(const QObject* receiver, const QEvent* event) {
    QString what = QStringLiteral("an event");
    if (event) {
        const QMetaEnum types = QMetaEnum::fromType<QEvent::Type>();
        const char* name = types.valueToKey(event->type());
        what = name ? QStringLiteral("a %1 event").arg(QString::fromLatin1(name))
                    : QStringLiteral("event %1").arg(int(event->type()));
    }
    if (!receiver) return what;
    QString target = QString::fromLatin1(receiver->metaObject()->className());
    if (!receiver->objectName().isEmpty())
        target += QStringLiteral(" \"%1\"").arg(receiver->objectName());
    return QStringLiteral("%1 for %2").arg(what, target);
}
