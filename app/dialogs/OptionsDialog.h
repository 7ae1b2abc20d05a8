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
class DialogServices;
class ColumnTrackingTable;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(AppState& state, DialogServices& services, QWidget* parent = nullptr);

  // Page control and its pages: General (shown), File Extension and Special (tabs hidden).
  QTabWidget* pages;
  QWidget* generalPage;
  QWidget* extensionPage;
  QWidget* specialPage;

  QCheckBox* sameFolderBox;
  QLabel* targetFolderLabel;
  QLineEdit* targetFolderEdit;
  QPushButton* browseButton;
  QLabel* overwriteLabel;
  QComboBox* overwriteList;
  QLabel* codePageLabel;
  QComboBox* codePageBox;
  QLabel* textFormLabel;
  QComboBox* textFormList;

  ColumnTrackingTable* typeTable;
  QLineEdit* maskEditor;

  QGroupBox* pdfGroup;
  QLabel* textOrderLabel;
  QComboBox* textOrderList;
  QCheckBox* pageBreakBox;
  QGroupBox* docGroup;
  QCheckBox* keepRawBox;

  QPushButton* okButton;
  QPushButton* cancelButton;
  QPushButton* helpButton;

  // Lays the user-mask editor over the row's "User defined" cell (selected) or hides it;
  // acts only while the "File Extension" page is on screen.
  void PlaceMaskEditor(int row, bool selected);

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void BuildGeneralPage();
  void BuildFileExtensionPage();
  void BuildSpecialPage();
  void FillTypeList();
  void FillControls();
  void ApplySameFolderRule();
  void StoreAndClose();
  void DiscardAndClose();
  void BrowseTargetFolder();
  void ShowHelpPage();
  void StoreUserMask(const QString& text);
  int SelectedTypeRow() const;

  AppState& state_;
  DialogServices& services_;
};

}  // namespace dkscr
