#pragma once
// The application object: shows failures that escape an event handler in a
// message box captioned "Brevix" and goes on; ends the program cleanly when
// the desktop session asks (SIGTERM, SIGINT, SIGHUP).
#include <QApplication>

class TMainForm;

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    void SetMainForm(TMainForm* form) { mainForm_ = form; }
    // Shows a failure the standard way; the main window steps aside meanwhile.
    // An unexpected one also offers the error report.
    void ShowException(const QString& message, bool unexpected = false);
    // The session asked the program to end before its main window was ready:
    // the start-up dialogs are cancelled, and the program ends once built.
    bool QuitRequested() const { return quitRequested_; }

private:
    void InstallSignalHandlers();
    void EndStartupDialogs();
    bool quitRequested_ = false;
    TMainForm* mainForm_ = nullptr;
};
