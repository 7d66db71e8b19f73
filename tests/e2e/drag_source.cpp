// A file manager's stand-in for drop tests: a small window that, pressed, drags the file named
// on its command line (as a text/uri-list) until the button is let go.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(QString file) : file_(std::move(file)) {
    setWindowTitle(QStringLiteral("vardel-drag-source"));
    setFixedSize(120, 80);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(file_)});
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const Qt::DropAction done = drag->exec(Qt::CopyAction);
    std::printf("drop %s\n", done == Qt::CopyAction ? "accepted" : "refused");
    std::fflush(stdout);
  }

 private:
  QString file_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc != 2) return 2;
  DragSource source(QString::fromLocal8Bit(argv[1]));
  source.move(0, 0);
  source.show();
  return application.exec();
}
