// The picture control of the main window: shows a bitmap at its top-left corner at the
// bitmap's own size (a larger one is cut off, a smaller one leaves the rest empty) and
// reports mouse-down and mouse-up with the button, the modifier keys and the position in
// its own coordinates, which are the bitmap's pixel coordinates.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);

  using TMouseEvent =
      std::function<void(TImage& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Report(const TMouseEvent& handler, QMouseEvent* event);

  QImage picture_;
};
