// The magazine search's box and result list, drawn over the map when Ctrl+Shift+F asks for them.
#pragma once

#include "shell/busqueda_indice.h"

#include <QFrame>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vardel {

// Hidden until open(). The index is built once, on a worker thread, the first time the panel
// opens; the box takes words meanwhile and the list fills in when it is ready. Enter or a click
// on a result hands it to `openHit`; Escape closes the panel.
class SearchPanel : public QFrame {
  Q_OBJECT
  // The pages listed, "<city>:<page>" separated by '|', for tests that read the window.
  Q_PROPERTY(QString pages READ pagesListed)

 public:
  // `contentFolder` and `cities` name what the index reads (see SearchIndex::build).
  SearchPanel(QWidget* parent, QString contentFolder, QList<SearchCity> cities);
  ~SearchPanel() override;

  // Shows the panel over its siblings with the box focused, starting the index if need be.
  void open();
  void close();

  // Opens a result: the map shows the page as the click on its city would.
  std::function<void(const SearchHit& hit)> openHit;
  // Once the page is shown, looks for the words typed in it; nothing is done while unset.
  std::function<void(const QString& words)> findInArticle;

  QString pagesListed() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void startIndex();
  void indexReady();
  void search();
  void activate(QTreeWidgetItem* item);

  QString contentFolder_;
  QList<SearchCity> cities_;
  QLineEdit* box_ = nullptr;
  QLabel* status_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QTimer* typing_ = nullptr;
  bool openWhenReady_ = false;  // Enter came before the index: open the first page found
  QList<SearchHit> hits_;
  std::optional<SearchIndex> index_;
  QThread* worker_ = nullptr;
  std::shared_ptr<SearchIndex> built_;
  std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace vardel
