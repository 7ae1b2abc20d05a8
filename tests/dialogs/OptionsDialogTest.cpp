// The options dialog driven as a user would: filled from the settings on every showing,
// written back only on OK, with its code-page rules and validation.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/session/AppState.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/KelListView.h"
#include "app/dialogs/UnOption.h"
#include "TestHooks.h"

using namespace dkscr;
using dkscr::test::FolderAnswer;
using dkscr::test::MessageRecorder;

class OptionsDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir home;
  std::unique_ptr<AppState> global;
  std::unique_ptr<TFmOption> dialog;

  void Show() {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
  }
  void TypeCodePage(const QString& text) {
    dialog->ComBSourceCode->lineEdit()->selectAll();
    QTest::keyClicks(dialog->ComBSourceCode->lineEdit(), text);
  }

 private slots:
  void init() {
    const std::u16string dir = home.path().toStdU16String() + u"/";
    global = std::make_unique<AppState>(dir, dir);
    global->settings.targetDir = u"/srv/out/";
    dialog = std::make_unique<TFmOption>(*global);
  }
  void cleanup() {
    dialog.reset();
    global.reset();
  }

  void ShowsOnlyTheGeneralPage() {
    Show();
    QTabBar* tabs = dialog->PageControl1->tabBar();
    QVERIFY(tabs->isTabVisible(0));
    QVERIFY(!tabs->isTabVisible(1));
    QVERIFY(!tabs->isTabVisible(2));
    QCOMPARE(dialog->PageControl1->currentWidget(), dialog->TabSheet1);
    QCOMPARE(dialog->focusWidget(), dialog->CBSameDir);
    // The hidden list of file types: one row per type.
    QCOMPARE(dialog->ListView1->item(1, 0)->text(), QString("PPTX"));
    QCOMPARE(dialog->ListView1->item(0, 2)->text(), QString("*.ppt"));
  }

  void LabelsNameTheirFields() {
    QCOMPARE(dialog->Label1->buddy(), dialog->EditTargetDir);
    QCOMPARE(dialog->Label2->buddy(), dialog->ComBFileOverTp);
    QCOMPARE(dialog->Label3->buddy(), dialog->ComBSourceCode);
    QCOMPARE(dialog->Label9->buddy(), dialog->CMBTextOrder);
  }

  void EveryShowingRefillsFromTheSettings() {
    Settings& s = global->settings;
    s.targetBesideSource = true;
    s.overwritePolicy = 2;
    s.codePage = 1252;
    s.userMasks1 = u"*.pps";
    s.textOrder = 1;
    s.pageBreak = true;
    s.keepRaw = 1;
    Show();
    QCOMPARE(dialog->EditTargetDir->text(), QString("/srv/out/"));
    QVERIFY(dialog->CBSameDir->isChecked());
    QVERIFY(!dialog->EditTargetDir->isEnabled());
    QVERIFY(!dialog->BtnDir->isEnabled());
    QCOMPARE(dialog->ComBFileOverTp->currentText(), QString("Prompt"));
    QCOMPARE(dialog->ComBSourceCode->currentText(), QString("1252   Latin 1: European Western"));
    QCOMPARE(dialog->ListView1->item(0, 3)->text(), QString("*.pps"));
    QCOMPARE(dialog->CMBTextOrder->currentIndex(), 1);
    QVERIFY(dialog->CBPageBreak->isChecked());
    QVERIFY(dialog->CBKeepRaw->isChecked());
    dialog->hide();

    s.targetBesideSource = false;
    s.targetDir = u"/home/ünïcode/";
    Show();
    QCOMPARE(dialog->EditTargetDir->text(), QString("/home/ünïcode/"));
    QVERIFY(dialog->EditTargetDir->isEnabled());
    QVERIFY(dialog->BtnDir->isEnabled());
  }

  void SameDirectoryTickDisablesTheTargetDirectory() {
    Show();
    QVERIFY(dialog->EditTargetDir->isEnabled());
    QTest::mouseClick(dialog->CBSameDir, Qt::LeftButton);
    QVERIFY(!dialog->EditTargetDir->isEnabled());
    QVERIFY(!dialog->BtnDir->isEnabled());
    QTest::mouseClick(dialog->CBSameDir, Qt::LeftButton);
    QVERIFY(dialog->EditTargetDir->isEnabled());
    QVERIFY(dialog->BtnDir->isEnabled());
  }

  void OkStoresEveryGeneralSetting() {
    Show();
    dialog->EditTargetDir->clear();
    QTest::keyClicks(dialog->EditTargetDir, "/data/out");
    dialog->ComBFileOverTp->setCurrentIndex(1);
    dialog->ComBSourceCode->setCurrentIndex(3);  // "65001 Unicode (UTF-8)"
    QCOMPARE(dialog->ComBTextForm->currentIndex(), kTextFormSlides);
    dialog->ComBTextForm->setCurrentIndex(2);
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const Settings& s = global->settings;
    QCOMPARE(s.targetDir, std::u16string(u"/data/out/"));
    QVERIFY(!s.targetBesideSource);
    QCOMPARE(s.overwritePolicy, uint8_t{1});
    QCOMPARE(s.codePage, 65001);
    QCOMPARE(s.textForm, kTextFormMarkdown);
    Show();  // refilled from the settings
    QCOMPARE(dialog->ComBTextForm->currentIndex(), kTextFormMarkdown);
  }

  void TypedCodePageIsStoredAndShownAsANumber() {
    Show();
    TypeCodePage("28591");
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(global->settings.codePage, 28591);
    Show();
    QCOMPARE(dialog->ComBSourceCode->currentText(), QString("28591"));
  }

  void NonNumericCodePageIsRejectedAndKeepsTheDialogOpen() {
    MessageRecorder messages;
    global->settings.codePage = 1250;
    Show();
    dialog->EditTargetDir->setText("/new/place");
    dialog->ComBFileOverTp->setCurrentIndex(3);
    TypeCodePage("1252 Latin");
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].title, QString("Error"));
    QCOMPARE(messages.shown[0].text, QString("Code page identifier must be numeric!"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::Critical);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->focusWidget(), dialog->ComBSourceCode);
    // What came before the code page has been stored; the code page has not.
    QCOMPARE(global->settings.targetDir, std::u16string(u"/new/place/"));
    QCOMPARE(global->settings.overwritePolicy, uint8_t{3});
    QCOMPARE(global->settings.codePage, 1250);

    TypeCodePage("");
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{2});
    QVERIFY(dialog->isVisible());

    QTest::mouseClick(dialog->BtnCancel, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.codePage, 1250);
    QCOMPARE(dialog->ComBSourceCode->currentText(), QString("1250   European Eastern"));
  }

  void EmptyTargetDirectoryStoresTheRoot() {
    Show();
    dialog->EditTargetDir->clear();
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(global->settings.targetDir, std::u16string(u"/"));
  }

  void OutOfRangeChoicesShowNothingAndStoreNoSelection() {
    global->settings.overwritePolicy = 7;
    global->settings.keepRaw = 2;
    global->settings.textOrder = 9;
    Show();
    QCOMPARE(dialog->ComBFileOverTp->currentIndex(), -1);
    QVERIFY(!dialog->CBKeepRaw->isChecked());
    QCOMPARE(dialog->CMBTextOrder->currentIndex(), -1);
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(global->settings.overwritePolicy, uint8_t{255});
    QCOMPARE(global->settings.keepRaw, 0);
    QCOMPARE(global->settings.textOrder, -1);
  }

  void HiddenPagesCarryTheirSettingsThrough() {
    Settings& s = global->settings;
    s.userMasks1 = u"*.PPS;*.POT";
    s.userMasks2 = u"";
    s.pageBreak = true;
    s.textOrder = 2;
    s.keepRaw = 1;
    Show();
    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(s.userMasks1, std::u16string(u"*.PPS;*.POT"));
    QCOMPARE(s.userMasks2, std::u16string());
    QVERIFY(s.pageBreak);
    QCOMPARE(s.textOrder, 2);
    QCOMPARE(s.keepRaw, 1);
    QCOMPARE(global->supportMaskList, std::u16string(u"*.ppt;*.pps;*.pot;*.pptx;"));
  }

  void EnterActsAsOkFromAnyControl() {
    Show();
    TypeCodePage("437");
    QTest::keyClick(dialog->ComBSourceCode->lineEdit(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(global->settings.codePage, 437);

    Show();
    dialog->EditTargetDir->setText("/by/enter");
    QTest::keyClick(dialog->EditTargetDir, Qt::Key_Enter);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(global->settings.targetDir, std::u16string(u"/by/enter/"));
  }

  void EscAndTheTitleBarDiscardTheEdits() {
    Show();
    dialog->EditTargetDir->setText("/edited");
    dialog->CBSameDir->setChecked(true);
    QTest::keyClick(dialog->EditTargetDir, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.targetDir, std::u16string(u"/srv/out/"));
    QVERIFY(!global->settings.targetBesideSource);
    QCOMPARE(dialog->EditTargetDir->text(), QString("/srv/out/"));

    Show();
    dialog->ComBFileOverTp->setCurrentIndex(1);
    dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(global->settings.overwritePolicy, uint8_t{0});
    Show();
    QCOMPARE(dialog->ComBFileOverTp->currentIndex(), 0);
  }

  void BrowseReplacesTheTargetDirectory() {
    QTemporaryDir chosen;
    Show();
    {
      FolderAnswer answer(chosen.path());
      dialog->EditTargetDir->setText(home.path());
      QTest::mouseClick(dialog->BtnDir, Qt::LeftButton);
      QCOMPARE(answer.titles, QStringList{"Select target directory"});
      QCOMPARE(answer.roots, QStringList{QString()});
      QCOMPARE(answer.starts, QStringList{home.path()});
      QCOMPARE(dialog->EditTargetDir->text(), chosen.path());
    }
    {
      // A starting folder that does not exist is not offered; a cancelled browser changes
      // nothing.
      FolderAnswer cancelled{QString()};
      dialog->EditTargetDir->setText("/no/such/folder");
      QTest::mouseClick(dialog->BtnDir, Qt::LeftButton);
      QCOMPARE(cancelled.starts, QStringList{QString()});
      QCOMPARE(dialog->EditTargetDir->text(), QString("/no/such/folder"));
    }
  }

  void HelpOpensTheOptionsPage() {
    Show();
    QTest::mouseClick(dialog->BtnHelp, Qt::LeftButton);
    auto* help = dialog->findChild<THelpWindow*>();
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), QString("Options.htm"));
    QVERIFY(dialog->isVisible());
  }

  void UserMaskEditorFollowsTheSelectedRow() {
    Show();
    dialog->PageControl1->setCurrentWidget(dialog->TabSheet2);
    QVERIFY(dialog->ListView1->isVisible());
    dialog->ListView1->selectRow(1);
    QLineEdit* editor = dialog->EditFileExt;
    QVERIFY(editor->isVisible());
    const QRect cell = dialog->ListView1->visualItemRect(dialog->ListView1->item(1, 3));
    QCOMPARE(editor->geometry(), cell);
    QTest::keyClicks(editor, "*.potx");
    QCOMPARE(dialog->ListView1->item(1, 3)->text(), QString("*.potx"));

    // A wider first column moves the editor along with its cell.
    dialog->ListView1->setColumnWidth(0, 90);
    QCOMPARE(editor->geometry(),
             dialog->ListView1->visualItemRect(dialog->ListView1->item(1, 3)));
    QVERIFY(editor->geometry().left() > cell.left());

    dialog->ListView1->clearSelection();
    QVERIFY(!editor->isVisible());

    QTest::mouseClick(dialog->BtnOK, Qt::LeftButton);
    QCOMPARE(global->settings.userMasks2, std::u16string(u"*.potx"));
    QCOMPARE(global->supportMaskList, std::u16string(u"*.ppt;*.pptx;*.potx;"));
  }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
