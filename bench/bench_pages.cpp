// Writes the saved pages that the page benchmarks show. Each page reports its own load event to
// the benchmark's server on 127.0.0.1:PORT (see load_wait.cpp).
// Usage: velmo_bench_pages text|pictures|next|next-text FOLDER PORT
//   text:     page.htm, 100 sections of text and a style sheet in page_files/;
//   pictures: page.htm, 300 pictures (160x120 JPEG) and a style sheet in page_files/;
//   next:     page01.htm ... page12.htm, 100 pictures each in pageNN_files/;
//   next-text: page01.htm ... page12.htm, text pages.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>

#include <cstdio>

namespace {

const char* const styleSheet = "body { font-family: serif; max-width: 50em; margin: 1em auto; "
                               "line-height: 1.4; }\nh2 { border-bottom: 1px solid #888; }\n"
                               "img { margin: 2px; vertical-align: top; }\n";

QString head(const QString& title, const QString& companion, int port)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">\n"
               "<title>%1</title><link rel=\"stylesheet\" href=\"%2/style.css\">\n"
               "<script>addEventListener('load', () => { const start = performance.timeOrigin; "
               "new Image().src = 'http://127.0.0.1:%3/loaded?start=' + start + '&end=' + "
               "(start + performance.now()) + '&title=' + encodeURIComponent(document.title); "
               "});</script>\n</head><body><h1>%1</h1>\n")
        .arg(title, companion)
        .arg(port);
}

QString paragraphs(int section)
{
    QString text;
    for (int paragraph = 1; paragraph <= 3; ++paragraph)
        text += QStringLiteral(
                    "<p>Le chemin %1.%2 longe la rivière puis monte vers le col, où la vue porte "
                    "sur toute la vallée. Les villages sont bâtis en pierre sèche, les toits "
                    "couverts de lauzes, et l’on y trouve du pain, du fromage et de l’eau fraîche "
                    "à chaque fontaine. Compter trois heures de marche, pauses comprises.</p>\n")
                    .arg(section)
                    .arg(paragraph);
    return text;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

// A 160x120 picture of its own for every number, as photos of a page differ.
bool writePicture(const QString& path, int number)
{
    QImage picture(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y,
                             qRgb((x * 3 + number * 37) % 256, (y * 5 + number * 11) % 256,
                                  ((x ^ y) + number * 53) % 256));
    return picture.save(path, "JPG", 85);
}

// A page with `pictures` pictures in its companion folder (none: a text page of 100 sections).
bool writePage(const QDir& folder, const QString& name, const QString& title, int pictures,
               int firstPicture, int port)
{
    const QString companion = name + QStringLiteral("_files");
    if (!folder.mkpath(companion) ||
        !writeFile(folder.filePath(companion + QStringLiteral("/style.css")), styleSheet))
        return false;
    QString page = head(title, companion, port);
    if (pictures == 0) {
        for (int section = 1; section <= 100; ++section)
            page += QStringLiteral("<h2>Étape %1</h2>\n").arg(section) + paragraphs(section);
    } else {
        page += paragraphs(0);
        for (int picture = 1; picture <= pictures; ++picture) {
            const QString file =
                QStringLiteral("%1/photo%2.jpg").arg(companion).arg(picture, 3, 10, QChar(u'0'));
            if (!writePicture(folder.filePath(file), firstPicture + picture))
                return false;
            page += QStringLiteral("<img src=\"%1\" width=\"160\" height=\"120\" alt=\"Vue %2\">\n")
                        .arg(file)
                        .arg(picture);
        }
    }
    page += QStringLiteral("</body></html>\n");
    return writeFile(folder.filePath(name + QStringLiteral(".htm")), page.toUtf8());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s text|pictures|next|next-text FOLDER PORT\n", argv[0]);
        return 2;
    }
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QFile::decodeName(argv[2]));
    const int port = QString::fromLocal8Bit(argv[3]).toInt();
    bool written = folder.exists();
    if (kind == QLatin1String("text")) {
        written = written && writePage(folder, "page", "Notes de voyage", 0, 0, port);
    } else if (kind == QLatin1String("pictures")) {
        written = written && writePage(folder, "page", "Album", 300, 0, port);
    } else if (kind == QLatin1String("next") || kind == QLatin1String("next-text")) {
        const int pictures = kind == QLatin1String("next") ? 100 : 0;
        for (int page = 1; written && page <= 12; ++page)
            written = writePage(folder, QStringLiteral("page%1").arg(page, 2, 10, QChar(u'0')),
                                QStringLiteral("Album %1").arg(page), pictures, page * 100, port);
    } else {
        std::fprintf(stderr, "%s: unknown kind of page %s\n", argv[0], argv[1]);
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot write the pages in %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
