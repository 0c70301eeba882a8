#pragma once
// What every test of our windows starts from: Qt without a display, the
// virtual desktop as the hook backend, and a private place for the hook's
// per-user lock. Construct before the QApplication.
#include <QTemporaryDir>
#include <QtGlobal>

struct TOffscreenDesktop {
    QTemporaryDir runtime;
    TOffscreenDesktop() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("BREVIX_HOOK", "virtual");
        qputenv("BREVIX_RUNTIME_DIR", runtime.path().toUtf8());
    }
};
