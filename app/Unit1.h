// TForm1, the main window: the examiner's workplace. It shows the identity of the
// current subject, the record navigator bar of the results table, the template picture
// on which the answers are clicked, the answer string as it grows and, after the record
// is confirmed, the evaluation panel. The handlers tie the scoring core to the tables:
// they call the answer list, the evaluation and the dataset, then draw what those return.
#pragma once

#include <QChar>
#include <QMainWindow>
#include <array>

#include "AnswerList.h"
#include "ConfigurationLoadViews.h"
#include "Evaluation.h"
#include "TDBNavigator.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class TImage;

namespace dbf {
class TDBEdit;
}  // namespace dbf

class TForm1 : public QMainWindow, public app::TLoadedConfigurationView {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);

  // Captions and what the loader and the identity copy fill in.
  QLabel* Label10;
  QLabel* Label11;
  QLabel* Label23;
  QLabel* Label24;
  QLabel* Label25;
  QLabel* Label26;
  QLabel* Label28;
  QLabel* Label29;

  // The identity boxes in their panel.
  QFrame* Panel1;
  QLabel* Label1;
  dbf::TDBEdit* DBEdit1;
  QLabel* Label2;
  dbf::TDBEdit* DBEdit2;
  QLabel* Label3;
  dbf::TDBEdit* DBEdit3;
  QLabel* Label22;
  dbf::TDBEdit* DBEdit5;
  QPushButton* Button4;

  QLabel* Label27;
  dbf::TDBNavigator* DBNavigator1;

  // Answer entry.
  QLabel* Label4;
  QLabel* StaticText1;
  QLabel* StaticText2;
  QLabel* Label6;
  dbf::TDBEdit* DBEdit4;
  TImage* Image1;
  QPushButton* Button2;
  QPushButton* Button1;

  // The evaluation panel: captions Label5, Label7, Label12 to Label15, values Label16 to Label21.
  QGroupBox* GroupBox1;
  std::array<QLabel*, 6> ResultCaptions;
  std::array<QLabel*, 6> ResultValues;
  QPushButton* Button3;

  // MainMenu1.
  QMenu* Nataenidat1;
  QAction* inisouboru1;
  QAction* INIsoubor1;
  QAction* DBFproband1;
  QAction* HELP1;
  QAction* konec1;

  // The visible navigator buttons from start-up until the insert button is first pressed.
  static const dbf::TButtonSet kStartButtons;

  // The main window is created before the data module; its bound controls are tied to
  // the results table's source once the data module exists.
  // REQUIRES: DataModule3 exists.
  void BindToDataModule();

  void FormCreate();
  void novy_proband();
  void urci_obr(int x, int y);
  void vyhodnoceni();

  void Image1MouseDown(TImage& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void Image1MouseUp(TImage& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  // Before the navigator acts: false keeps the results table as it is.
  bool DBNavigator1BeforeAction(dbf::TNavigateBtn button);
  void DBNavigator1Click(dbf::TNavigateBtn button);
  // Enter in an identity box: the one handler of DBEdit1, DBEdit2, DBEdit3 and DBEdit5.
  void DBEdit1KeyPress(dbf::TDBEdit& sender, QChar& key);

  void inisouboru1Click();
  void INIsoubor1Click();
  void DBFproband1Click();
  void HELP1Click();
  void konec1Click();

  // What a configuration load shows here: Label11, Label29, Image1, Label24, the
  // navigator's start set and Label27.
  void ShowConfigurationName(const QString& bare_name) override;
  void ShowTemplateName(const QString& file_name) override;
  void ShowTemplate(const QImage& picture) override;
  void ShowResultsTableName(const QString& file_name) override;
  void ShowResultsTableReopened() override;
  void ShowInsertFirstHint(bool shown) override;

  const tarni::AnswerList& Answers() const { return answers_; }
  // Draws what an answer-list operation returned.
  void ShowAnswerDisplays(const tarni::AnswerDisplays& displays);

 signals:
  // The main window was closed ("Konec" or the close box; while a results record is
  // being inserted or edited only after the examiner agreed to drop it): the program
  // ends. A tool window's closing does not end the event loop on its own.
  void ProgramEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildIdentityPanel(QWidget* client);
  void BuildAnswerEntry(QWidget* client);
  void BuildEvaluationPanel(QWidget* client);
  void BuildMenu();
  void SetTabOrder();
  void StretchToWorkArea();
  void SetStaticText1(const QString& text);
  void StoreEvaluation();

  tarni::AnswerList answers_;
  tarni::EvaluationResults results_;
};

// The main window of the run; created first at start-up.
extern TForm1* Form1;
