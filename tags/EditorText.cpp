#include "tags/EditorText.h"

#include "tags/ParseTxt.h"

namespace EditorText {

qsizetype UnbalancedBrace(const QString& text) {
    for (qsizetype p = text.indexOf(QLatin1Char('{')); p >= 0;) {
        const qsizetype close = FindMatchingBrace(QStringView(text), p);
        if (close < 0) return p;
        p = text.indexOf(QLatin1Char('{'), close + 1);
    }
    return -1;
}

QStringList InputFieldNames(const QString& text) {
    static const QString kTag = QStringLiteral("{@INPUT");
    QStringList names;
    for (qsizetype hit = text.indexOf(kTag, 0, Qt::CaseInsensitive); hit >= 0;
         hit = text.indexOf(kTag, hit + 1, Qt::CaseInsensitive)) {
        const QString after = text.mid(hit + kTag.size(), 100);
        qsizetype start = -1;
        if (after.startsWith(QLatin1Char('(')))
            start = 1;
        else if (after.startsWith(QLatin1String("DATE("), Qt::CaseInsensitive) ||
                 after.startsWith(QLatin1String("FILE("), Qt::CaseInsensitive))
            start = 5;
        if (start < 0) continue;
        qsizetype end = start;
        while (end < after.size() && after[end] != QLatin1Char('\r') &&
               after[end] != QLatin1Char(')') && after[end] != QLatin1Char('}'))
            ++end;
        const QString name = after.mid(start, end - start).trimmed();
        if (!name.isEmpty() && !names.contains(name)) names << name;
    }
    return names;
}

QString VariableName(const QString& name) {
    return name.trimmed().replace(QLatin1Char(' '), QLatin1Char('_'));
}

namespace {
QString Head(const QString& tag, const QString& name, const QString& rest) {
    QString t = tag;
    const QString n = VariableName(name);
    if (!n.isEmpty()) t += QLatin1Char('(') + n + QLatin1Char(')');
    if (!rest.trimmed().isEmpty()) t += QLatin1Char(' ') + rest.trimmed();
    return t;
}
} // namespace

QString InputTag(const QString& name, const QString& prompt, const QStringList& pickList,
                 bool multiple, const QString& separator) {
    QString t = Head(QStringLiteral("{@INPUT"), name, prompt);
    if (!pickList.isEmpty()) {
        if (!multiple) t += QStringLiteral(" @SINGLE");
        if (!separator.isEmpty()) t += QStringLiteral(" @SEP=\"") + separator + QLatin1Char('"');
        t += QStringLiteral("\r\n");
        for (const QString& line : pickList)
            t += line + QStringLiteral("\r\n");
    }
    return t + QLatin1Char('}');
}

QString InputDateTag(const QString& name, const QString& prompt, bool longFormat) {
    return Head(QStringLiteral("{@INPUTDATE"), name, prompt) +
           (longFormat ? QStringLiteral(" @LONG}") : QStringLiteral("}"));
}

QString InputFileTag(const QString& name, const QString& fileName) {
    return Head(QStringLiteral("{@INPUTFILE"), name, fileName) + QLatin1Char('}');
}

QString InputMsgTag(const QString& message) {
    return QStringLiteral("{@INPUTMSG ") + message.trimmed() + QLatin1Char('}');
}

QString InputTclTag(const QString& script) {
    return QStringLiteral("{@INPUTTCL \r\n") + script + QLatin1Char('}');
}

QString Tag(const QString& body) {
    return QStringLiteral("{@") + body.trimmed() + QLatin1Char('}');
}

QString LinesCaption(int lines) {
    return QString::number(lines) +
           (lines < 2 ? QStringLiteral(" line") : QStringLiteral(" lines"));
}

QString ItemsCaption(int items) {
    return items == 1 ? QStringLiteral("1 item")
                      : QString::number(items) + QStringLiteral(" items");
}

} // namespace EditorText
