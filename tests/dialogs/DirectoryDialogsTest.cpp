// The add-directory dialog and the directory dialog it opens, driven as a user would.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/session/AppState.h"
#include "app/dialogs/UnAddDir.h"
#include "app/dialogs/UnDirectory.h"
#include "TestHooks.h"

using namespace dkscr;
using dkscr::test::FolderAnswer;
using dkscr::test::MessageRecorder;

namespace {

QStringList RowTexts(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  return rows;
}

}  // namespace

class DirectoryDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppState> global;
  std::unique_ptr<TFmDirectory> directory;
  std::unique_ptr<TFmAddDir> addDir;

  void CreateDialogs() {
    directory = std::make_unique<TFmDirectory>(QString::fromStdU16String(global->settings.scanFolders));
    addDir = std::make_unique<TFmAddDir>(*global, *directory);
  }
  void ShowAddDir() {
    addDir->show();
    QVERIFY(QTest::qWaitForWindowExposed(addDir.get()));
  }

 private slots:
  void init() {
    global = std::make_unique<AppState>(u"/nonexistent/program/", u"/home/user/Documents/");
    global->settings.scanFolders = u"/data/talks;/data/lectures";
    CreateDialogs();
  }
  void cleanup() {
    addDir.reset();
    directory.reset();
    global.reset();
  }

  // Directory dialog.

  void LabelsNameTheirFields() {
    QCOMPARE(directory->Label1->buddy(), directory->LBOXDirs);
    QCOMPARE(addDir->Label1->buddy(), addDir->EditDir);
    QCOMPARE(addDir->Label2->buddy(), addDir->CheckListBox1);
  }

  void DirectoryListLoadsRowsAndSelectsTheFirst() {
    QCOMPARE(RowTexts(directory->LBOXDirs), QStringList({"/data/talks", "/data/lectures"}));
    QCOMPARE(directory->LBOXDirs->currentRow(), 0);
    QCOMPARE(directory->EditDir->text(), QString("/data/talks"));
    QVERIFY(!directory->BtnAdd->isEnabled());
    QVERIFY(!directory->BtnReplace->isEnabled());
    QVERIFY(directory->BtnDelete->isEnabled());

    directory->SetDirList("/a;;/b;");
    QCOMPARE(RowTexts(directory->LBOXDirs), QStringList({"/a", "", "/b"}));

    directory->SetDirList("");
    QCOMPARE(directory->LBOXDirs->count(), 0);
    QVERIFY(directory->EditDir->text().isEmpty());
    QVERIFY(!directory->BtnAdd->isEnabled());
    QVERIFY(!directory->BtnReplace->isEnabled());
    QVERIFY(!directory->BtnDelete->isEnabled());
  }

  void AddAndReplaceNeedANewDirectory() {
    directory->show();
    QLineEdit* edit = directory->EditDir;
    edit->clear();
    QTest::keyClicks(edit, "/DATA/Talks");  // differs from a row only in letter case
    QVERIFY(!directory->BtnAdd->isEnabled());
    QVERIFY(!directory->BtnReplace->isEnabled());
    QTest::keyClicks(edit, "2");
    QVERIFY(directory->BtnAdd->isEnabled());
    QVERIFY(directory->BtnReplace->isEnabled());

    QTest::mouseClick(directory->BtnAdd, Qt::LeftButton);
    QCOMPARE(RowTexts(directory->LBOXDirs),
             QStringList({"/data/talks", "/data/lectures", "/DATA/Talks2"}));
    QVERIFY(!directory->BtnAdd->isEnabled());
    QVERIFY(!directory->BtnReplace->isEnabled());

    edit->setText("/srv/slides");
    QTest::mouseClick(directory->BtnReplace, Qt::LeftButton);  // the first row is selected
    QCOMPARE(RowTexts(directory->LBOXDirs),
             QStringList({"/srv/slides", "/data/lectures", "/DATA/Talks2"}));
    QVERIFY(!directory->BtnAdd->isEnabled());

    edit->clear();
    QVERIFY(!directory->BtnAdd->isEnabled());
  }

  void ClickingARowCopiesItAndDeleteRemovesIt() {
    directory->show();
    QVERIFY(QTest::qWaitForWindowExposed(directory.get()));
    QListWidget* list = directory->LBOXDirs;
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(directory->EditDir->text(), QString("/data/lectures"));

    QTest::mouseClick(directory->BtnDelete, Qt::LeftButton);
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
    QVERIFY(directory->EditDir->text().isEmpty());
    QVERIFY(directory->BtnDelete->isEnabled());  // only the list's loading changes it

    list->clearSelection();
    QVERIFY(directory->EditDir->text().isEmpty());
    QTest::mouseClick(directory->BtnDelete, Qt::LeftButton);  // nothing selected
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
    directory->EditDir->setText("/x");
    QTest::mouseClick(directory->BtnReplace, Qt::LeftButton);  // nothing selected
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
  }

  void DirectoryBrowseAndKeys() {
    QTemporaryDir chosen;
    directory->show();
    {
      FolderAnswer answer(chosen.path());
      QTest::mouseClick(directory->BtnDir, Qt::LeftButton);
      QCOMPARE(answer.titles, QStringList{"Select directory"});
      QCOMPARE(directory->EditDir->text(), chosen.path());
      QVERIFY(directory->BtnAdd->isEnabled());
    }
    QTest::keyClick(directory->EditDir, Qt::Key_Return);
    QVERIFY(!directory->isVisible());
    QCOMPARE(directory->result(), int(QDialog::Accepted));
    directory->show();
    QTest::keyClick(directory->LBOXDirs, Qt::Key_Escape);
    QVERIFY(!directory->isVisible());
    QCOMPARE(directory->result(), int(QDialog::Rejected));
  }

  // Add-directory dialog.

  void AddDirStartsFromTheSettings() {
    addDir.reset();  // closing hands its ticks back; then start anew from these settings
    global->settings.scanType1 = false;
    global->settings.scanRecursive = true;
    CreateDialogs();
    ShowAddDir();
    QCOMPARE(addDir->EditDir->text(), QString("/data/talks;/data/lectures"));
    QCOMPARE(RowTexts(addDir->CheckListBox1),
             QStringList({"PowerPoint 95, 97-2007 File(*.ppt)",
                          "PowerPoint Open XML File(*.pptx)"}));
    QVERIFY(!addDir->TypeTicked(1));
    QVERIFY(addDir->TypeTicked(2));
    QVERIFY(addDir->CBRecursive->isChecked());
  }

  void RowsAreRelabelledAfterUserMasksChange() {
    ShowAddDir();
    addDir->CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
    addDir->hide();
    global->settings.userMasks1 = u"*.pps";
    global->settings.userMasks2 = u"*.potx;*.ppsx";
    ShowAddDir();
    QCOMPARE(RowTexts(addDir->CheckListBox1),
             QStringList({"PowerPoint 95, 97-2007 File(*.ppt;*.pps)",
                          "PowerPoint Open XML File(*.pptx;*.potx;*.ppsx)"}));
    // The ticks are the user's, not refreshed from the settings.
    QVERIFY(addDir->TypeTicked(1));
    QVERIFY(!addDir->TypeTicked(2));
  }

  void TickButtons() {
    ShowAddDir();
    QTest::mouseClick(addDir->SpeedButton3, Qt::LeftButton);
    QVERIFY(!addDir->TypeTicked(1) && !addDir->TypeTicked(2));
    addDir->CheckListBox1->item(0)->setCheckState(Qt::Checked);
    QTest::mouseClick(addDir->SpeedButton2, Qt::LeftButton);
    QVERIFY(!addDir->TypeTicked(1) && addDir->TypeTicked(2));
    QTest::mouseClick(addDir->SpeedButton1, Qt::LeftButton);
    QVERIFY(addDir->TypeTicked(1) && addDir->TypeTicked(2));
  }

  void OkWithoutATypeIsRejectedButKeepsTheDirectories() {
    MessageRecorder messages;
    ShowAddDir();
    QTest::mouseClick(addDir->SpeedButton3, Qt::LeftButton);
    addDir->EditDir->setText("/new/scan");
    QTest::mouseClick(addDir->BtnOK, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].title, QString("Error"));
    QCOMPARE(messages.shown[0].text, QString("Please select the type of file to be converted!"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::Critical);
    QVERIFY(addDir->isVisible());
    QCOMPARE(global->settings.scanFolders, std::u16string(u"/new/scan"));

    addDir->CheckListBox1->item(1)->setCheckState(Qt::Checked);
    QTest::keyClick(addDir->EditDir, Qt::Key_Return);
    QVERIFY(!addDir->isVisible());
    QCOMPARE(addDir->result(), int(QDialog::Accepted));
    QCOMPARE(messages.shown.size(), size_t{1});
  }

  void EscCancelsWithoutStoringTheDirectories() {
    ShowAddDir();
    addDir->EditDir->setText("/other");
    QTest::keyClick(addDir->EditDir, Qt::Key_Escape);
    QVERIFY(!addDir->isVisible());
    QCOMPARE(addDir->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.scanFolders, std::u16string(u"/data/talks;/data/lectures"));
  }

  void BrowseEditsTheDirectoriesAsRows() {
    ShowAddDir();
    addDir->EditDir->setText("/a;/b");
    QStringList seenRows;
    int seenSelected = -2;
    QTimer::singleShot(0, this, [&] {
      seenRows = RowTexts(directory->LBOXDirs);
      seenSelected = directory->LBOXDirs->currentRow();
      QTest::mouseClick(directory->BtnDelete, Qt::LeftButton);
      QTest::mouseClick(directory->BtnOK, Qt::LeftButton);
    });
    QTest::mouseClick(addDir->BtnDir, Qt::LeftButton);
    QCOMPARE(seenRows, QStringList({"/a", "/b"}));
    QCOMPARE(seenSelected, 0);
    QCOMPARE(addDir->EditDir->text(), QString("/b"));

    // Cancel in the directory dialog changes nothing.
    QTimer::singleShot(0, this, [&] {
      QTest::mouseClick(directory->BtnDelete, Qt::LeftButton);
      QTest::keyClick(directory->LBOXDirs, Qt::Key_Escape);
    });
    QTest::mouseClick(addDir->BtnDir, Qt::LeftButton);
    QCOMPARE(addDir->EditDir->text(), QString("/b"));

    // Deleting every row leaves an empty directory text.
    QTimer::singleShot(0, this, [&] {
      QTest::mouseClick(directory->BtnDelete, Qt::LeftButton);
      directory->accept();
    });
    QTest::mouseClick(addDir->BtnDir, Qt::LeftButton);
    QCOMPARE(addDir->EditDir->text(), QString());
  }

  void ClosingHandsTheTicksToTheSettings() {
    ShowAddDir();
    addDir->CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
    addDir->CBRecursive->setChecked(true);
    QVERIFY(global->settings.scanType1);
    addDir.reset();
    QVERIFY(!global->settings.scanType1);
    QVERIFY(global->settings.scanType2);
    QVERIFY(global->settings.scanRecursive);
  }
};

QTEST_MAIN(DirectoryDialogsTest)
#include "DirectoryDialogsTest.moc"
