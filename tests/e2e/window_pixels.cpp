// Counts the dark pixels of a rectangle of a window on the X screen, so that the end-to-end tests
// can tell a blank view from one that shows a text; with a file name it also saves the picture.
// Usage: window_pixels WINDOW-ID X Y WIDTH HEIGHT [FILE.png]
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 6) {
        std::fprintf(stderr, "usage: window_pixels WINDOW-ID X Y WIDTH HEIGHT [FILE.png]\n");
        return 2;
    }
    const auto window = static_cast<WId>(QByteArray(argv[1]).toULongLong(nullptr, 0));
    const QImage image =
        QGuiApplication::primaryScreen()
            ->grabWindow(window, QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt(),
                         QByteArray(argv[4]).toInt(), QByteArray(argv[5]).toInt())
            .toImage();
    if (argc > 6 && !image.save(QString::fromLocal8Bit(argv[6])))
        return 1;
    long dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    std::printf("%ld\n", dark);
    return image.isNull() ? 1 : 0;
}
