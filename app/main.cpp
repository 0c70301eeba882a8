// Program entry: the application and its one main window.
#include "platform/Errors.h"
#include "shell/Application.h"
#include "shell/Mainfrm.h"

#include <QMessageBox>
#include <csignal>
#include <memory>

int main(int argc, char** argv) {
    // Over a file-size limit a save then fails with "File too large" and is
    // reported, instead of the signal ending the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    TApplication app(argc, argv);
    QStringList params = QApplication::arguments();
    params.removeFirst();
    std::unique_ptr<TMainForm> form;
    try {
        form = std::make_unique<TMainForm>(params);
    } catch (const EBrevix& e) {
        // A bad command line or unusable settings: shown, then the program ends
        // without writing anything.
        QMessageBox::critical(nullptr, QStringLiteral("Brevix"), e.Message());
        return 1;
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Brevix"), QString::fromLocal8Bit(e.what()));
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
