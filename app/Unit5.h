// TForm5, the help window: a fixed, numbered list of the examiner's steps for scoring
// subjects, read-only, with a "Návrat" button that hides the window.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class TForm5 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;
  QPushButton* Button1;

  void Button1Click();
};

// The help window of the run; created hidden at start-up.
extern TForm5* Form5;
