#pragma once

#include <QResizeEvent>
#include <QWidget>

namespace app {

// The bands above the page: the toolbar row, then the address row. Reports height changes.
class ToolBarArea : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

 signals:
  void heightChanged(int newHeight);

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (event->size().height() != event->oldSize().height()) {
      emit heightChanged(event->size().height());
    }
  }
};

}  // namespace app
