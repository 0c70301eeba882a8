#pragma once
// A Tcl host on the installed libtcl8.6.so, with an empty start-up script so
// that creation raises no warning, and every message it emits recorded.
#include "script/TclInterface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

struct TRecordedMessage {
    TTclInterface::TMessageKind Kind;
    QString Caption;
    QString Text;
};

inline void WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(content);
}

class TTclHostFixture {
public:
    TTclHostFixture() {
        QObject::connect(
            &Tcl, &TTclInterface::Message,
            [this](TTclInterface::TMessageKind kind, const QString& caption, const QString& text) {
                Messages.push_back({kind, caption, text});
            });
    }
    QString ConfigDir() const { return Dir.path(); }
    QString ConfigFile(const char* name) const { return Dir.filePath(QString::fromLatin1(name)); }
    void Start(const QByteArray& startup = "") {
        WriteFile(ConfigFile("Brevixo.tcl"), startup);
        Tcl.Create(TTclConfig{QStringLiteral("libtcl8.6.so"), QString()}, ConfigDir(),
                   ProgramDir.path());
    }

    QTemporaryDir Dir;
    QTemporaryDir ProgramDir;
    TTclInterface Tcl;
    std::vector<TRecordedMessage> Messages;
};
