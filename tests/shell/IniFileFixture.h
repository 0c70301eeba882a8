#pragma once
// A settings file of its own in a temporary folder, written and read whole.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct TIniFileFixture : ::testing::Test {
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Brevixo.ini")); }
    void WriteFile(const QByteArray& text) {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadFile() {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
