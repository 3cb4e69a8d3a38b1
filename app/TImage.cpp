#include "TImage.h"

#include <QMouseEvent>
#include <QPainter>

#include "DbfDialogs.h"

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

void TImage::mousePressEvent(QMouseEvent* event) { Report(OnMouseDown, event); }

void TImage::mouseReleaseEvent(QMouseEvent* event) { Report(OnMouseUp, event); }

void TImage::Report(const TMouseEvent& handler, QMouseEvent* event) {
  event->accept();
  if (!handler) return;
  const QPoint position = event->position().toPoint();
  dbf::RunReported([&] { handler(*this, event->button(), event->modifiers(), position.x(), position.y()); });
}
