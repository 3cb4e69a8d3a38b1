// What the windows share when they build themselves: their fonts, window frames of a
// documented outer size, and controls placed at their documented positions under their
// documented names, with the accessible name or description that lets a screen reader
// (or a test tool driving the program) find each one and read its text.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "DbfDialogs.h"

class QLabel;
class QPushButton;
class QWidget;

namespace app {

// The application title that message boxes carry: the executable's file name cut at its
// first ".", every character after the first in lower case ("Vyhod_Tarni" gives
// "Vyhod_tarni").
QString ApplicationTitleOf(const QString& executable_path);
QString ApplicationTitle();

// The windows' default font, "MS Sans Serif" 11 pixels high; fontconfig substitutes a
// font the machine has.
QFont DefaultWindowFont();
QFont FontOf(const QString& family, int pixel_size);

// Outer size of a window as documented (frame and caption included), for the classic
// frame the layouts were designed with.
void SetOuterGeometry(QWidget* window, const QRect& outer);

// Names a control; controls without a text of their own (edit boxes, memos, pictures,
// grids) also carry the name as their accessible name.
void NameControl(QWidget* control, const char* name);
// Names a control that shows a text (labels, static texts, captioned buttons, group
// boxes): the name goes into the accessible description, so the text stays its name.
void NameCaptionedControl(QWidget* control, const char* name);

// A label sized to its text at (left, top).
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
// Replaces a label's text and sizes the label to it, as labels do that follow their text.
void SetLabelText(QLabel* label, const QString& text);

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry);

// Shows a secondary window, or brings it to the front and activates it when it is shown
// already, so a menu command always puts its window before the examiner.
void ShowInFront(QWidget* window);

// A slot that runs `handler` of `window` under the general error report, so that an
// error ends the handler and is shown, and no exception unwinds through Qt's frames.
template <typename Window>
auto Reported(Window* window, void (Window::*handler)()) {
  return [window, handler] { dbf::RunReported([window, handler] { (window->*handler)(); }); };
}

}  // namespace app
