#include "tools/bxdict/Bxdict.h"

#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    // Over a file-size limit a write then fails with "File too large" and is
    // reported, instead of the signal ending the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const int code = Bxdict::Run(app.arguments().mid(1), in, out, err);
    out.flush();
    return code;
}
