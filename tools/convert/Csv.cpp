#include "tools/convert/Csv.h"

namespace Csv {

namespace {

class TReader {
public:
    explicit TReader(const QString& text) : s_(text) {}

    QList<TCsvRecord> All() {
        QList<TCsvRecord> out;
        while (pos_ < s_.size()) {
            TCsvRecord r = Next();
            const bool blank = r.problem.isEmpty() && r.fields.size() == 1 && r.fields[0].isEmpty();
            if (!blank) out.append(std::move(r));
        }
        return out;
    }

private:
    bool AtEnd() const { return pos_ >= s_.size(); }
    QChar Peek() const { return s_[pos_]; }

    // Consumes a line break at pos_ when there is one.
    bool EatLineBreak() {
        if (AtEnd()) return false;
        if (Peek() == QLatin1Char('\r')) {
            ++pos_;
            if (!AtEnd() && Peek() == QLatin1Char('\n')) ++pos_;
            ++line_;
            return true;
        }
        if (Peek() == QLatin1Char('\n')) {
            ++pos_;
            ++line_;
            return true;
        }
        return false;
    }

    void SkipRestOfLine() {
        while (!AtEnd() && !EatLineBreak())
            ++pos_;
    }

    TCsvRecord Next() {
        TCsvRecord r;
        r.line = line_;
        for (;;) {
            QString field;
            if (!AtEnd() && Peek() == QLatin1Char('"')) {
                if (!Quoted(field, r)) return r;
            } else {
                while (!AtEnd() && Peek() != QLatin1Char(',') && Peek() != QLatin1Char('\r') &&
                       Peek() != QLatin1Char('\n')) {
                    if (Peek() == QLatin1Char('"') && r.problem.isEmpty())
                        r.problem =
                            QStringLiteral("a double quote inside a field that is not quoted");
                    field += Peek();
                    ++pos_;
                }
            }
            r.fields.append(field);
            if (AtEnd() || EatLineBreak()) return r;
            ++pos_; // the comma
        }
    }

    // A quoted field from its opening quote; false when the record ended badly.
    bool Quoted(QString& field, TCsvRecord& r) {
        const int opened = line_;
        ++pos_;
        for (;;) {
            if (AtEnd()) {
                r.problem = QStringLiteral("the quoted field opened on line %1 is never closed")
                                .arg(opened);
                return false;
            }
            const QChar c = Peek();
            ++pos_;
            if (c == QLatin1Char('"')) {
                if (!AtEnd() && Peek() == QLatin1Char('"')) {
                    field += c;
                    ++pos_;
                    continue;
                }
                if (AtEnd() || Peek() == QLatin1Char(',') || Peek() == QLatin1Char('\r') ||
                    Peek() == QLatin1Char('\n'))
                    return true;
                r.problem = QStringLiteral("text follows the closing quote of a field");
                SkipRestOfLine();
                return false;
            }
            if (c == QLatin1Char('\n') ||
                (c == QLatin1Char('\r') && (AtEnd() || Peek() != QLatin1Char('\n'))))
                ++line_;
            field += c;
        }
    }

    const QString& s_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

bool NeedsQuotes(const QString& f) {
    if (f.isEmpty()) return false;
    if (f.front().isSpace() || f.back().isSpace()) return true;
    for (QChar c : f)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return true;
    return false;
}

} // namespace

QList<TCsvRecord> Read(const QString& text) {
    return TReader(text).All();
}

QString Record(const QStringList& fields) {
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i) out += QLatin1Char(',');
        if (NeedsQuotes(fields[i]))
            out += QLatin1Char('"') +
                   QString(fields[i]).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                   QLatin1Char('"');
        else
            out += fields[i];
    }
    return out + QStringLiteral("\r\n");
}

} // namespace Csv
