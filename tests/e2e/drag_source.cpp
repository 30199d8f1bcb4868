// A window that starts a drag of the file named on its command line when pressed, so that the
// end-to-end tests can drop a file on Velmo the way a file manager does.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

class DragSource : public QLabel {
public:
    explicit DragSource(const QString& file) : QLabel(QStringLiteral("glisser")), file(file)
    {
        setWindowTitle(QStringLiteral("drag-source"));
        resize(200, 200);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file)});
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QString file;
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    DragSource source(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    source.move(1000, 0);
    source.show();
    return QApplication::exec();
}
