// Renders the program's SVG icon into the hicolor theme's PNG sizes:
// iconrender ICON.svg OUTDIR NAME writes OUTDIR/<n>x<n>/apps/NAME.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: iconrender ICON.svg OUTDIR NAME\n", stderr);
        return 2;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImageReader reader(QString::fromLocal8Bit(argv[1]));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "iconrender: %s: %s\n", argv[1], qPrintable(reader.errorString()));
            return 1;
        }
        const QString dir =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QString file = dir + QLatin1Char('/') + QString::fromLocal8Bit(argv[3]) + ".png";
        if (!QDir().mkpath(dir) || !image.save(file)) {
            std::fprintf(stderr, "iconrender: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
