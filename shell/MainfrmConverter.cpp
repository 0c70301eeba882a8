// The File menu's "Run File Converter": the converter is a program of its own,
// installed beside this one.
#include "platform/MessageBox.h"
#include "shell/Mainfrm.h"

#include <QCoreApplication>
#include <QProcess>

QString TMainForm::FileConverterProgram() const {
    if (!FileConverterPath.isEmpty()) return FileConverterPath;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bxconvert");
}

void TMainForm::RunFileConverter1Click() {
    const QString program = FileConverterProgram();
    if (!QProcess::startDetached(program, {}))
        TMessageBox::Error(this, QStringLiteral("Brevix"),
                           tr("Brevix could not launch\n\"%1\"").arg(program));
}
