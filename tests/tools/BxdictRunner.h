#pragma once
// Runs the bxdict command line in-process and writes the files it reads.
#include "tools/bxdict/Bxdict.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace bxtest {

struct Outcome {
    int code;
    QByteArray out, err;
};

inline Outcome Bx(const QStringList& args, QByteArray input = {}) {
    Outcome r;
    QBuffer in(&input), out(&r.out), err(&r.err);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    r.code = Bxdict::Run(args, in, out, err);
    return r;
}

inline QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

} // namespace bxtest
