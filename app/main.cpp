// Program entry: the application and its one main window.
#include "platform/Errors.h"
#include "platform/HeapPages.h"
#include "platform/MessageBox.h"
#include "shell/Application.h"
#include "shell/CommandLine.h"
#include "shell/Mainfrm.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    RestartWithHugeHeapPages(argv);
    // Over a file-size limit a save then fails with "File too large" and is
    // reported, instead of the signal ending the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool version = std::strcmp(a, "--version") == 0;
        if (version || std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs((version ? ProgramVersionText() : CommandLineHelp()).toUtf8().constData(),
                       stdout);
            return 0;
        }
    }
    TApplication app(argc, argv);
    QStringList params = QApplication::arguments();
    params.removeFirst();
    std::unique_ptr<TMainForm> form;
    try {
        form = std::make_unique<TMainForm>(params);
    } catch (const EBrevix& e) {
        // A bad command line or unusable settings: shown, then the program ends
        // without writing anything.
        TMessageBox::Error(nullptr, QStringLiteral("Brevix"), e.Message());
        return 1;
    } catch (const std::exception& e) {
        TMessageBox::Error(nullptr, QStringLiteral("Brevix"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
    if (app.QuitRequested()) {
        // Asked to end while starting: as at the end of a session.
        form->SessionEndClose();
        return 0;
    }
    app.SetMainForm(form.get());
    QObject::connect(form.get(), &TMainForm::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form->show();
    const int rc = app.exec();
    app.SetMainForm(nullptr);
    return rc;
}
