// Build tool: renders the application icon's SVG into the PNG sizes of the icon theme.
// Usage: folverin-render-icon ICON.svg OUTPUT-FOLDER SIZE...
// writes OUTPUT-FOLDER/<size>x<size>/folverin.png for every size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: folverin-render-icon ICON.svg OUTPUT-FOLDER SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "folverin-render-icon: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    for (const QString& sizeText : arguments.mid(3)) {
        const int size = sizeText.toInt();
        if (size <= 0) {
            std::fprintf(stderr, "folverin-render-icon: '%s' is not a size\n", qPrintable(sizeText));
            return 2;
        }
        const QString folder = arguments.at(2) + QStringLiteral("/%1x%1").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/folverin.png"))) {
            std::fprintf(stderr, "folverin-render-icon: cannot write the %s size\n", qPrintable(sizeText));
            return 1;
        }
    }
    return 0;
}
