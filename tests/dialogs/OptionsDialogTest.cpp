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
#include "app/widgets/ColumnTrackingTable.h"
#include "app/dialogs/OptionsDialog.h"
#include "TestHooks.h"

using namespace dkscr;

class OptionsDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir home;
  test::RecordingServices services;
  std::unique_ptr<AppState> global;
  std::unique_ptr<OptionsDialog> dialog;

  void Show() {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
  }
  void TypeCodePage(const QString& text) {
    dialog->codePageBox->lineEdit()->selectAll();
    QTest::keyClicks(dialog->codePageBox->lineEdit(), text);
  }

 private slots:
  void init() {
    const std::u16string dir = home.path().toStdU16String() + u"/";
    global = std::make_unique<AppState>(dir, dir);
    global->settings.targetDir = u"/srv/out/";
    dialog = std::make_unique<OptionsDialog>(*global, services);
  }
  void cleanup() {
    dialog.reset();
    global.reset();
  }

  void ShowsOnlyTheGeneralPage() {
    Show();
    QTabBar* tabs = dialog->pages->tabBar();
    QVERIFY(tabs->isTabVisible(0));
    QVERIFY(!tabs->isTabVisible(1));
    QVERIFY(!tabs->isTabVisible(2));
    QCOMPARE(dialog->pages->currentWidget(), dialog->generalPage);
    QCOMPARE(dialog->focusWidget(), dialog->sameFolderBox);
    // The hidden list of file types: one row per type.
    QCOMPARE(dialog->typeTable->item(1, 0)->text(), QString("PPTX"));
    QCOMPARE(dialog->typeTable->item(0, 2)->text(), QString("*.ppt;*.pps;*.pot"));
  }

  void LabelsNameTheirFields() {
    QCOMPARE(dialog->targetFolderLabel->buddy(), dialog->targetFolderEdit);
    QCOMPARE(dialog->overwriteLabel->buddy(), dialog->overwriteList);
    QCOMPARE(dialog->codePageLabel->buddy(), dialog->codePageBox);
    QCOMPARE(dialog->textOrderLabel->buddy(), dialog->textOrderList);
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
    QCOMPARE(dialog->targetFolderEdit->text(), QString("/srv/out/"));
    QVERIFY(dialog->sameFolderBox->isChecked());
    QVERIFY(!dialog->targetFolderEdit->isEnabled());
    QVERIFY(!dialog->browseButton->isEnabled());
    QCOMPARE(dialog->overwriteList->currentText(), QString("Prompt"));
    QCOMPARE(dialog->codePageBox->currentText(), QString("1252   Latin 1: European Western"));
    QCOMPARE(dialog->typeTable->item(0, 3)->text(), QString("*.pps"));
    QCOMPARE(dialog->textOrderList->currentIndex(), 1);
    QVERIFY(dialog->pageBreakBox->isChecked());
    QVERIFY(dialog->keepRawBox->isChecked());
    dialog->hide();

    s.targetBesideSource = false;
    s.targetDir = u"/home/ünïcode/";
    Show();
    QCOMPARE(dialog->targetFolderEdit->text(), QString("/home/ünïcode/"));
    QVERIFY(dialog->targetFolderEdit->isEnabled());
    QVERIFY(dialog->browseButton->isEnabled());
  }

  void SameDirectoryTickDisablesTheTargetDirectory() {
    Show();
    QVERIFY(dialog->targetFolderEdit->isEnabled());
    QTest::mouseClick(dialog->sameFolderBox, Qt::LeftButton);
    QVERIFY(!dialog->targetFolderEdit->isEnabled());
    QVERIFY(!dialog->browseButton->isEnabled());
    QTest::mouseClick(dialog->sameFolderBox, Qt::LeftButton);
    QVERIFY(dialog->targetFolderEdit->isEnabled());
    QVERIFY(dialog->browseButton->isEnabled());
  }

  void OkStoresEveryGeneralSetting() {
    Show();
    dialog->targetFolderEdit->clear();
    QTest::keyClicks(dialog->targetFolderEdit, "/data/out");
    dialog->overwriteList->setCurrentIndex(1);
    dialog->codePageBox->setCurrentIndex(3);  // "65001 Unicode (UTF-8)"
    QCOMPARE(dialog->textFormList->currentIndex(), kTextFormSlides);
    dialog->textFormList->setCurrentIndex(2);
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const Settings& s = global->settings;
    QCOMPARE(s.targetDir, std::u16string(u"/data/out/"));
    QVERIFY(!s.targetBesideSource);
    QCOMPARE(s.overwritePolicy, uint8_t{1});
    QCOMPARE(s.codePage, 65001);
    QCOMPARE(s.textForm, kTextFormMarkdown);
    Show();  // refilled from the settings
    QCOMPARE(dialog->textFormList->currentIndex(), kTextFormMarkdown);
  }

  void TypedCodePageIsStoredAndShownAsANumber() {
    Show();
    TypeCodePage("28591");
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(global->settings.codePage, 28591);
    Show();
    QCOMPARE(dialog->codePageBox->currentText(), QString("28591"));
  }

  void NonNumericCodePageIsRejectedAndKeepsTheDialogOpen() {
    test::RecordingServices& messages = services.Fresh();
    global->settings.codePage = 1250;
    Show();
    dialog->targetFolderEdit->setText("/new/place");
    dialog->overwriteList->setCurrentIndex(3);
    TypeCodePage("1252 Latin");
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].title, QString("Error"));
    QCOMPARE(messages.shown[0].text, QString("Code page identifier must be numeric!"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::Critical);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->focusWidget(), dialog->codePageBox);
    // What came before the code page has been stored; the code page has not.
    QCOMPARE(global->settings.targetDir, std::u16string(u"/new/place/"));
    QCOMPARE(global->settings.overwritePolicy, uint8_t{3});
    QCOMPARE(global->settings.codePage, 1250);

    TypeCodePage("");
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{2});
    QVERIFY(dialog->isVisible());

    QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.codePage, 1250);
    QCOMPARE(dialog->codePageBox->currentText(), QString("1250   European Eastern"));
  }

  void EmptyTargetDirectoryStoresTheRoot() {
    Show();
    dialog->targetFolderEdit->clear();
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(global->settings.targetDir, std::u16string(u"/"));
  }

  void OutOfRangeChoicesShowNothingAndStoreNoSelection() {
    global->settings.overwritePolicy = 7;
    global->settings.keepRaw = 2;
    global->settings.textOrder = 9;
    Show();
    QCOMPARE(dialog->overwriteList->currentIndex(), -1);
    QVERIFY(!dialog->keepRawBox->isChecked());
    QCOMPARE(dialog->textOrderList->currentIndex(), -1);
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
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
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(s.userMasks1, std::u16string(u"*.PPS;*.POT"));
    QCOMPARE(s.userMasks2, std::u16string());
    QVERIFY(s.pageBreak);
    QCOMPARE(s.textOrder, 2);
    QCOMPARE(s.keepRaw, 1);
    QCOMPARE(global->supportMaskList, std::u16string(u"*.ppt;*.pps;*.pot;*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;"));  // the family has them
  }

  void EnterActsAsOkFromAnyControl() {
    Show();
    TypeCodePage("437");
    QTest::keyClick(dialog->codePageBox->lineEdit(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(global->settings.codePage, 437);

    Show();
    dialog->targetFolderEdit->setText("/by/enter");
    QTest::keyClick(dialog->targetFolderEdit, Qt::Key_Enter);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(global->settings.targetDir, std::u16string(u"/by/enter/"));
  }

  void EscAndTheTitleBarDiscardTheEdits() {
    Show();
    dialog->targetFolderEdit->setText("/edited");
    dialog->sameFolderBox->setChecked(true);
    QTest::keyClick(dialog->targetFolderEdit, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.targetDir, std::u16string(u"/srv/out/"));
    QVERIFY(!global->settings.targetBesideSource);
    QCOMPARE(dialog->targetFolderEdit->text(), QString("/srv/out/"));

    Show();
    dialog->overwriteList->setCurrentIndex(1);
    dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(global->settings.overwritePolicy, uint8_t{0});
    Show();
    QCOMPARE(dialog->overwriteList->currentIndex(), 0);
  }

  void BrowseReplacesTheTargetDirectory() {
    QTemporaryDir chosen;
    Show();
    {
      test::RecordingServices& answer = services.AnswerFolder(chosen.path());
      dialog->targetFolderEdit->setText(home.path());
      QTest::mouseClick(dialog->browseButton, Qt::LeftButton);
      QCOMPARE(answer.titles, QStringList{"Select target directory"});
      QCOMPARE(answer.roots, QStringList{QString()});
      QCOMPARE(answer.starts, QStringList{home.path()});
      QCOMPARE(dialog->targetFolderEdit->text(), chosen.path());
    }
    {
      // A starting folder that does not exist is not offered; a cancelled browser changes
      // nothing.
      test::RecordingServices& cancelled = services.AnswerFolder(QString());
      dialog->targetFolderEdit->setText("/no/such/folder");
      QTest::mouseClick(dialog->browseButton, Qt::LeftButton);
      QCOMPARE(cancelled.starts, QStringList{QString()});
      QCOMPARE(dialog->targetFolderEdit->text(), QString("/no/such/folder"));
    }
  }

  void HelpOpensTheOptionsPage() {
    Show();
    QTest::mouseClick(dialog->helpButton, Qt::LeftButton);
    auto* help = dialog->findChild<HelpWindow*>();
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), QString("Options.htm"));
    QVERIFY(dialog->isVisible());
  }

  void UserMaskEditorFollowsTheSelectedRow() {
    Show();
    dialog->pages->setCurrentWidget(dialog->extensionPage);
    QVERIFY(dialog->typeTable->isVisible());
    dialog->typeTable->selectRow(1);
    QLineEdit* editor = dialog->maskEditor;
    QVERIFY(editor->isVisible());
    const QRect cell = dialog->typeTable->visualItemRect(dialog->typeTable->item(1, 3));
    QCOMPARE(editor->geometry(), cell);
    QTest::keyClicks(editor, "*.potx");
    QCOMPARE(dialog->typeTable->item(1, 3)->text(), QString("*.potx"));

    // A wider first column moves the editor along with its cell.
    dialog->typeTable->setColumnWidth(0, 90);
    QCOMPARE(editor->geometry(),
             dialog->typeTable->visualItemRect(dialog->typeTable->item(1, 3)));
    QVERIFY(editor->geometry().left() > cell.left());

    dialog->typeTable->clearSelection();
    QVERIFY(!editor->isVisible());

    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    QCOMPARE(global->settings.userMasks2, std::u16string(u"*.potx"));
    QCOMPARE(global->supportMaskList, std::u16string(u"*.ppt;*.pps;*.pot;*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;"));
  }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
