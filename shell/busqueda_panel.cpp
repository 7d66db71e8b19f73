// The magazine search's panel over the map: a box, a line of state and the results by section.
#include "shell/busqueda_panel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vardel {

namespace {

// Where the panel lies over the 800x600 map: clear of the clock and the fixed buttons.
const QRect kPlace(150, 40, 520, 440);
// How long typing may pause before the list follows it.
constexpr int kTypingPauseMs = 150;
constexpr int kHitRole = Qt::UserRole;

}  // namespace

SearchPanel::SearchPanel(QWidget* parent, QString contentFolder, QList<SearchCity> cities)
    : QFrame(parent), contentFolder_(std::move(contentFolder)), cities_(std::move(cities)) {
  setObjectName(QStringLiteral("Busqueda"));
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);
  setGeometry(kPlace);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  auto* title = new QLabel(QStringLiteral("Buscar en toda la revista:"), this);
  box_ = new QLineEdit(this);
  box_->setObjectName(QStringLiteral("BusquedaTexto"));
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("BusquedaEstado"));
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("BusquedaResultados"));
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setIndentation(12);
  list_->setUniformRowHeights(true);
  list_->setTextElideMode(Qt::ElideRight);
  list_->header()->setStretchLastSection(true);
  layout->addWidget(title);
  layout->addWidget(box_);
  layout->addWidget(status_);
  layout->addWidget(list_, 1);
  typing_ = new QTimer(this);
  typing_->setSingleShot(true);
  typing_->setInterval(kTypingPauseMs);
  connect(typing_, &QTimer::timeout, this, &SearchPanel::search);
  connect(box_, &QLineEdit::textEdited, typing_, qOverload<>(&QTimer::start));
  connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { activate(item); });
  connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { activate(item); });
  box_->installEventFilter(this);
  list_->installEventFilter(this);
  hide();
}

SearchPanel::~SearchPanel() {
  if (!worker_) return;
  cancel_->store(true);
  worker_->wait();
  delete worker_;
}

void SearchPanel::open() {
  startIndex();
  raise();
  show();
  box_->setFocus();
  box_->selectAll();
}

void SearchPanel::close() {
  typing_->stop();
  openWhenReady_ = false;
  hide();
  if (parentWidget()) parentWidget()->setFocus();
}

void SearchPanel::startIndex() {
  if (worker_ || index_) return;
  status_->setText(QStringLiteral("Preparando el índice de la revista…"));
  built_ = std::make_shared<SearchIndex>();
  worker_ = QThread::create([folder = contentFolder_, cities = cities_, built = built_, cancel = cancel_] {
    *built = SearchIndex::build(folder, cities, SearchIndex::Limits(), cancel.get());
  });
  worker_->setObjectName(QStringLiteral("BusquedaIndice"));
  connect(worker_, &QThread::finished, this, &SearchPanel::indexReady);
  worker_->start(QThread::LowPriority);
}

void SearchPanel::indexReady() {
  index_ = std::move(*built_);
  built_.reset();
  worker_->deleteLater();
  worker_ = nullptr;
  search();
  if (std::exchange(openWhenReady_, false) && isVisible() && list_->topLevelItemCount())
    activate(list_->topLevelItem(0)->child(0));
}

void SearchPanel::search() {
  typing_->stop();
  if (!index_) return;  // the list follows the box once the index is ready
  hits_ = index_->find(box_->text());
  list_->clear();
  QTreeWidgetItem* section = nullptr;
  for (qsizetype i = 0; i < hits_.size(); ++i) {
    const SearchHit& hit = hits_[i];
    if (!section || section->data(0, kHitRole).toInt() != -1 - hit.city) {
      section = new QTreeWidgetItem(list_, {hit.hint.trimmed()});
      section->setData(0, kHitRole, -1 - hit.city);
      section->setFlags(Qt::ItemIsEnabled);
      QFont bold = section->font(0);
      bold.setBold(true);
      section->setFont(0, bold);
      section->setExpanded(true);
    }
    auto* item = new QTreeWidgetItem(section, {hit.context});
    item->setData(0, kHitRole, int(i));
    item->setToolTip(0, hit.page);
  }
  list_->expandAll();
  if (box_->text().trimmed().isEmpty()) {
    status_->clear();
  } else if (hits_.isEmpty()) {
    status_->setText(QStringLiteral("Ninguna página tiene todas esas palabras."));
  } else {
    status_->setText(hits_.size() == 1 ? QStringLiteral("1 página encontrada")
                                       : QStringLiteral("%1 páginas encontradas").arg(hits_.size()));
  }
}

void SearchPanel::activate(QTreeWidgetItem* item) {
  if (item && item->childCount()) item = item->child(0);  // a section's title: its first page
  if (!item) return;
  const int at = item->data(0, kHitRole).toInt();
  if (at < 0 || at >= hits_.size()) return;
  const SearchHit hit = hits_[at];
  const QString words = box_->text().simplified();
  close();
  if (openHit) openHit(hit);
  if (findInArticle) findInArticle(words);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  if (watched == box_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
    if (!index_) {
      openWhenReady_ = true;
      return true;
    }
    if (typing_->isActive() || list_->topLevelItemCount() == 0) search();
    QTreeWidgetItem* chosen = list_->currentItem();
    if (!chosen || chosen->data(0, kHitRole).toInt() < 0) {
      chosen = list_->topLevelItemCount() ? list_->topLevelItem(0)->child(0) : nullptr;
    }
    activate(chosen);
    return true;
  }
  if (watched == box_ && key == Qt::Key_Down && list_->topLevelItemCount()) {
    list_->setFocus();
    list_->setCurrentItem(list_->topLevelItem(0)->child(0));
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

QString SearchPanel::pagesListed() const {
  QStringList pages;
  for (const SearchHit& hit : hits_) pages << QString::number(hit.city) + QLatin1Char(':') + hit.page;
  return pages.join(QLatin1Char('|'));
}

}  // namespace vardel
