// The find bar: drawn over the bottom of the article area while the person looks for a word.
#pragma once

#include <QFrame>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;

namespace vardel {

class BarraBuscar : public QFrame {
  Q_OBJECT
 public:
  explicit BarraBuscar(QWidget* parent);

  QLineEdit* edit() const { return edit_; }
  QString text() const;
  // The outcome of the last find: "3 de 12", "Sin resultados", or nothing before a find.
  void showCount(int current, int total);
  void clearCount();

  // The text was edited; the arrows (or Enter) asked for the next or the previous match; the
  // cross closed the bar.
  std::function<void(const QString& text)> onEdited;
  std::function<void(bool backward)> onNext;
  std::function<void()> onClose;

 private:
  QLineEdit* edit_;
  QLabel* count_;
};

}  // namespace vardel
