// The find bar's widgets and texts.
#include "shell/lectura_barra.h"

#include "ui/events.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vardel {

namespace {

QToolButton* button(QWidget* parent, const QString& text, const QString& tip) {
  auto* made = new QToolButton(parent);
  made->setText(text);
  made->setToolTip(tip);
  made->setAutoRaise(true);
  made->setFocusPolicy(Qt::NoFocus);  // the keys stay in the text
  return made;
}

}  // namespace

BarraBuscar::BarraBuscar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("barraBuscar"));
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(255, 255, 225));
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 2, 2, 2);
  row->setSpacing(4);
  auto* label = new QLabel(QStringLiteral("Buscar:"), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("textoBuscar"));
  edit_->setMinimumWidth(150);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("resultadoBuscar"));
  count_->setMinimumWidth(90);
  QToolButton* previous = button(this, QStringLiteral("▲"), QStringLiteral("Anterior (Mayús+F3)"));
  QToolButton* next = button(this, QStringLiteral("▼"), QStringLiteral("Siguiente (F3)"));
  QToolButton* close = button(this, QStringLiteral("✕"), QStringLiteral("Cerrar (Esc)"));
  row->addWidget(label);
  row->addWidget(edit_);
  row->addWidget(count_);
  row->addWidget(previous);
  row->addWidget(next);
  row->addWidget(close);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) { ui::fire(onEdited, text); });
  connect(previous, &QToolButton::clicked, this, [this] { ui::fire(onNext, true); });
  connect(next, &QToolButton::clicked, this, [this] { ui::fire(onNext, false); });
  connect(close, &QToolButton::clicked, this, [this] { ui::fire(onClose); });
  hide();
}

QString BarraBuscar::text() const { return edit_->text(); }

void BarraBuscar::showCount(int current, int total) {
  count_->setText(total > 0 ? QStringLiteral("%1 de %2").arg(current).arg(total) : QStringLiteral("Sin resultados"));
}

void BarraBuscar::clearCount() { count_->clear(); }

}  // namespace vardel
