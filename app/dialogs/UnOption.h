#pragma once
// "Options": where target files go, what to do when one exists, and the code page of the
// written text. Two pages whose tabs are hidden still carry their settings through.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace dkscr {

class AppState;
class TKelListView;

class TFmOption : public QDialog {
  Q_OBJECT

 public:
  explicit TFmOption(AppState& global, QWidget* parent = nullptr);

  // Page control and its pages: General (shown), File Extension and Special (tabs hidden).
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;

  QCheckBox* CBSameDir;
  QLabel* Label1;
  QLineEdit* EditTargetDir;
  QPushButton* BtnDir;
  QLabel* Label2;
  QComboBox* ComBFileOverTp;
  QLabel* Label3;
  QComboBox* ComBSourceCode;
  QLabel* LabelTextForm;
  QComboBox* ComBTextForm;

  TKelListView* ListView1;
  QLineEdit* EditFileExt;

  QGroupBox* GBoxPDF;
  QLabel* Label9;
  QComboBox* CMBTextOrder;
  QCheckBox* CBPageBreak;
  QGroupBox* GBoxDOC;
  QCheckBox* CBKeepRaw;

  QPushButton* BtnOK;
  QPushButton* BtnCancel;
  QPushButton* BtnHelp;

  // Lays the user-mask editor over the row's "User defined" cell (selected) or hides it;
  // acts only while the "File Extension" page is on screen.
  void PlaceExtEditor(int row, bool selected);

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void BuildGeneralPage();
  void BuildFileExtensionPage();
  void BuildSpecialPage();
  void FillTypeList();
  void FillControls();
  void ApplySameDirRule();
  void BtnOKClick();
  void BtnCancelClick();
  void BtnDirClick();
  void BtnHelpClick();
  void EditFileExtChange(const QString& text);
  int SelectedTypeRow() const;

  AppState& FGlobal;
};

}  // namespace dkscr
