// A small window that drags the files named on its command line, as a file
// manager does, once the mouse is pressed on it. Prints what the drop did and
// stays, as a file manager would, to hand over the data the target asks for.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>

namespace {
class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> urls) : QLabel(QStringLiteral("files")), m_urls(std::move(urls))
    {
        setWindowTitle(QStringLiteral("Drag source"));
        setAlignment(Qt::AlignCenter);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setUrls(m_urls);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        std::printf("drop action %d\n", int(done));
        std::fflush(stdout);
    }

private:
    QList<QUrl> m_urls;
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString &path : app.arguments().mid(1))
        urls << QUrl::fromLocalFile(path);
    DragSource source(urls);
    source.setGeometry(0, 0, 120, 60);
    source.show();
    return app.exec();
}
