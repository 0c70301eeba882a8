#pragma once
// A real main window on a temporary configuration folder with the
// interpreter's bx_window, bx_file and bx_list registered; dialogs and
// message boxes are answered by the test and recorded.
#include "shell/Mainfrm.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct TEntrySpec {
    QByteArray Keyword, Text, Description;
    uint16_t Shortcut = 0;
    uint16_t Flags = 0;
};

void MakeDictionary(const QString& path, const QList<TEntrySpec>& entries, bool readOnly = false);
void WriteFile(const QString& path, const QByteArray& content);
// Runs the event loop until done() (a hang guard, not a timing check).
bool SpinUntil(const std::function<bool()>& done);

class BxFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window (after SetUp's files are in place) and opens `open`.
    void Start(const QString& open = QString());
    QString P(const QString& name) const { return Dir.filePath(name); }

    struct TReply {
        bool Ok;
        QByteArray Text;
    };
    TReply Run(const QByteArray& script);
    // The result of a script that must succeed.
    QByteArray Ok(const QByteArray& script);
    // The message of a script that must fail.
    QByteArray Fails(const QByteArray& script);

    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Form;
    QStringList Errors; // error boxes shown
    QStringList Asked;  // Yes/No/Cancel questions
    int Answer = 0;     // what they answer (QMessageBox::Yes by default)
    QString NextFile;   // what the file dialogs answer
};
