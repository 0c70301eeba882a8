#include "tools/bxconvert/ConverterForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevix File Converter"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brevix")));
    TConverterForm form;
    form.show();
    return app.exec();
}
