// The map's reading aids, reached by keys alone: find in the article, text size, history.
#pragma once

#include "ui/text_zoom.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace vardel {

class BarraBuscar;
class ReadingArea;
class TfrmMapa;

// Watches the keys and mouse buttons of the map window and acts only on its own:
//  Ctrl+F opens the find bar over the bottom of the article; Enter and F3 go to the next match,
//  with Shift to the previous one; Escape closes the bar.
//  Ctrl++, Ctrl+-, Ctrl+0 and Ctrl+wheel set the text size of the article area, kept for every
//  article that follows.
//  Alt+Left and Alt+Right (and the mouse's back and forward buttons) walk the articles and links
//  shown, back to the place scrolled to; back past the first article of a city is the map's own
//  return to its level 1.
// Until one of them is used nothing of this shows or changes.
class Lectura : public QObject {
  Q_OBJECT
 public:
  explicit Lectura(TfrmMapa& map);
  ~Lectura() override;

  // Opens the bar with `text` and finds its first match once the document on display (or the
  // one just asked for) is complete.
  void findInArticle(const QString& text);
  // The article about to open is the first of city `number`.
  void cityOpened(int number);
  // Whether the find bar is on the screen (its Escape closes it, before anything else's).
  bool findBarOpen() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QString url;
    QPoint scroll;
    int city = 0;
    bool cityStart = false;
  };

  ReadingArea* area() const;
  QWidget* areaWidget() const;
  bool atArticle() const;
  bool handleKey(QKeyEvent* key, QWidget* target);
  void openBar();
  void closeBar();
  void find(const QString& text, bool backward);
  void zoomTo(int step);

  // History (lectura_historial.cpp).
  void documentStarting(const QString& url);
  void back();
  void forward();
  void go(int index);
  void keepScroll();

  TfrmMapa& map_;
  BarraBuscar* bar_;
  int zoom_ = ui::kNormalTextZoom;
  quint64 findSerial_ = 0;
  std::vector<Entry> entries_;
  // The entry on display at level 2; on the map, the one the map was left from (back opens it,
  // forward the one after). -1 before any.
  int current_ = -1;
  int held_ = -1;  // the entry whose document the article area holds
  std::optional<int> openingCity_;
  std::optional<QString> expected_;  // a document the history itself asked for
};

}  // namespace vardel
