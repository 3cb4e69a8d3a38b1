#include "WindowParts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QMargins>
#include <QPushButton>
#include <QWidget>

namespace app {

namespace {

// The classic frame the documented outer sizes include: a 4-pixel border on every side
// and a 19-pixel caption bar.
constexpr int kFrameBorder = 4;
constexpr int kCaptionHeight = 19;

// Percent of the normal width of a font that stands in for a missing one.
constexpr int kSubstituteStretch = 80;

}  // namespace

QString ApplicationTitleOf(const QString& executable_path) {
  const QString name = QFileInfo(executable_path).fileName().section(QLatin1Char('.'), 0, 0);
  return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() { return ApplicationTitleOf(QCoreApplication::applicationFilePath()); }

QFont DefaultWindowFont() { return FontOf(QStringLiteral("MS Sans Serif"), 11); }

QFont FontOf(const QString& family, int pixel_size) {
  QFont font(family);
  font.setPixelSize(pixel_size);
  // The fixed positions were laid out for the narrow fonts of the systems the program
  // comes from; the outline fonts that stand in for them here are wider, and would run
  // captions into the boxes beside them unless condensed.
  if (QFontInfo(font).family() != family) font.setStretch(kSubstituteStretch);
  return font;
}

void SetOuterGeometry(QWidget* window, const QRect& outer) {
  window->move(outer.topLeft());
  window->resize(
      outer.size().shrunkBy(QMargins(kFrameBorder, kFrameBorder + kCaptionHeight, kFrameBorder, kFrameBorder)));
}

void NameControl(QWidget* control, const char* name) {
  control->setObjectName(QLatin1String(name));
  control->setAccessibleName(control->objectName());
}

void NameCaptionedControl(QWidget* control, const char* name) {
  control->setObjectName(QLatin1String(name));
  control->setAccessibleDescription(control->objectName());
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(parent);
  // Texts from files (configuration values, file names) are shown as they are, never as markup.
  label->setTextFormat(Qt::PlainText);
  NameCaptionedControl(label, name);
  label->move(left, top);
  SetLabelText(label, text);
  return label;
}

void SetLabelText(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  NameCaptionedControl(button, name);
  button->setGeometry(geometry);
  return button;
}

void ShowInFront(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace app
