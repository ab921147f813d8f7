// A window that starts a drag of one local file when pressed, for driving
// drops on an X display with xdotool. The file's path is read from the file
// named on the command line at each press, so a script can change it.
//   g++ -fPIC -o dragsource scripts/dragsource.cpp $(pkg-config --cflags --libs Qt5Widgets)
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

class DragSource : public QWidget
{
public:
    explicit DragSource(const QString &pathFile) : m_pathFile(pathFile) {}

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        QFile file(m_pathFile);
        if (!file.open(QIODevice::ReadOnly))
            return;
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(QString::fromUtf8(file.readAll()).trimmed())});
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }

private:
    QString m_pathFile;
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    DragSource source(QString::fromLocal8Bit(argv[1]));
    source.setWindowTitle(QStringLiteral("dragsource"));
    // Pressed, it leaves the keyboard with the window dropped on.
    source.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    source.setGeometry(1050, 50, 150, 150);
    source.show();
    return app.exec();
}
