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
#include "app/dialogs/AddFolderDialog.h"
#include "app/dialogs/FolderListDialog.h"
#include "TestHooks.h"

using namespace dkscr;

namespace {

QStringList RowTexts(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  return rows;
}

}  // namespace

class DirectoryDialogsTest : public QObject {
  Q_OBJECT

  test::RecordingServices services;
  std::unique_ptr<AppState> global;
  std::unique_ptr<FolderListDialog> directory;
  std::unique_ptr<AddFolderDialog> addDir;

  void CreateDialogs() {
    directory = std::make_unique<FolderListDialog>(
        QString::fromStdU16String(global->settings.scanFolders), services);
    addDir = std::make_unique<AddFolderDialog>(*global, *directory, services);
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
    QCOMPARE(directory->folderLabel->buddy(), directory->folderList);
    QCOMPARE(addDir->folderLabel->buddy(), addDir->folderEdit);
    QCOMPARE(addDir->typeLabel->buddy(), addDir->typeList);
  }

  void DirectoryListLoadsRowsAndSelectsTheFirst() {
    QCOMPARE(RowTexts(directory->folderList), QStringList({"/data/talks", "/data/lectures"}));
    QCOMPARE(directory->folderList->currentRow(), 0);
    QCOMPARE(directory->folderEdit->text(), QString("/data/talks"));
    QVERIFY(!directory->addButton->isEnabled());
    QVERIFY(!directory->replaceButton->isEnabled());
    QVERIFY(directory->deleteButton->isEnabled());

    directory->SetDirList("/a;;/b;");
    QCOMPARE(RowTexts(directory->folderList), QStringList({"/a", "", "/b"}));

    directory->SetDirList("");
    QCOMPARE(directory->folderList->count(), 0);
    QVERIFY(directory->folderEdit->text().isEmpty());
    QVERIFY(!directory->addButton->isEnabled());
    QVERIFY(!directory->replaceButton->isEnabled());
    QVERIFY(!directory->deleteButton->isEnabled());
  }

  void AddAndReplaceNeedANewDirectory() {
    directory->show();
    QLineEdit* edit = directory->folderEdit;
    edit->clear();
    QTest::keyClicks(edit, "/DATA/Talks");  // differs from a row only in letter case
    QVERIFY(!directory->addButton->isEnabled());
    QVERIFY(!directory->replaceButton->isEnabled());
    QTest::keyClicks(edit, "2");
    QVERIFY(directory->addButton->isEnabled());
    QVERIFY(directory->replaceButton->isEnabled());

    QTest::mouseClick(directory->addButton, Qt::LeftButton);
    QCOMPARE(RowTexts(directory->folderList),
             QStringList({"/data/talks", "/data/lectures", "/DATA/Talks2"}));
    QVERIFY(!directory->addButton->isEnabled());
    QVERIFY(!directory->replaceButton->isEnabled());

    edit->setText("/srv/slides");
    QTest::mouseClick(directory->replaceButton, Qt::LeftButton);  // the first row is selected
    QCOMPARE(RowTexts(directory->folderList),
             QStringList({"/srv/slides", "/data/lectures", "/DATA/Talks2"}));
    QVERIFY(!directory->addButton->isEnabled());

    edit->clear();
    QVERIFY(!directory->addButton->isEnabled());
  }

  void ClickingARowCopiesItAndDeleteRemovesIt() {
    directory->show();
    QVERIFY(QTest::qWaitForWindowExposed(directory.get()));
    QListWidget* list = directory->folderList;
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(directory->folderEdit->text(), QString("/data/lectures"));

    QTest::mouseClick(directory->deleteButton, Qt::LeftButton);
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
    QVERIFY(directory->folderEdit->text().isEmpty());
    QVERIFY(directory->deleteButton->isEnabled());  // only the list's loading changes it

    list->clearSelection();
    QVERIFY(directory->folderEdit->text().isEmpty());
    QTest::mouseClick(directory->deleteButton, Qt::LeftButton);  // nothing selected
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
    directory->folderEdit->setText("/x");
    QTest::mouseClick(directory->replaceButton, Qt::LeftButton);  // nothing selected
    QCOMPARE(RowTexts(list), QStringList({"/data/talks"}));
  }

  void DirectoryBrowseAndKeys() {
    QTemporaryDir chosen;
    directory->show();
    {
      test::RecordingServices& answer = services.AnswerFolder(chosen.path());
      QTest::mouseClick(directory->browseButton, Qt::LeftButton);
      QCOMPARE(answer.titles, QStringList{"Select directory"});
      QCOMPARE(directory->folderEdit->text(), chosen.path());
      QVERIFY(directory->addButton->isEnabled());
    }
    QTest::keyClick(directory->folderEdit, Qt::Key_Return);
    QVERIFY(!directory->isVisible());
    QCOMPARE(directory->result(), int(QDialog::Accepted));
    directory->show();
    QTest::keyClick(directory->folderList, Qt::Key_Escape);
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
    QCOMPARE(addDir->folderEdit->text(), QString("/data/talks;/data/lectures"));
    QCOMPARE(RowTexts(addDir->typeList),
             QStringList({"PowerPoint 95, 97-2007 File(*.ppt;*.pps;*.pot)",
                          "PowerPoint Open XML File(*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm)"}));
    QVERIFY(!addDir->TypeTicked(1));
    QVERIFY(addDir->TypeTicked(2));
    QVERIFY(addDir->recursiveBox->isChecked());
  }

  void RowsAreRelabelledAfterUserMasksChange() {
    ShowAddDir();
    addDir->typeList->item(1)->setCheckState(Qt::Unchecked);
    addDir->hide();
    global->settings.userMasks1 = u"*.key";
    global->settings.userMasks2 = u"*.potx;*.odp";  // what the family holds is not repeated
    ShowAddDir();
    QCOMPARE(RowTexts(addDir->typeList),
             QStringList({"PowerPoint 95, 97-2007 File(*.ppt;*.pps;*.pot;*.key)",
                          "PowerPoint Open XML File(*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;*.odp)"}));
    // The ticks are the user's, not refreshed from the settings.
    QVERIFY(addDir->TypeTicked(1));
    QVERIFY(!addDir->TypeTicked(2));
  }

  void TickButtons() {
    ShowAddDir();
    QTest::mouseClick(addDir->selectNoneButton, Qt::LeftButton);
    QVERIFY(!addDir->TypeTicked(1) && !addDir->TypeTicked(2));
    addDir->typeList->item(0)->setCheckState(Qt::Checked);
    QTest::mouseClick(addDir->invertButton, Qt::LeftButton);
    QVERIFY(!addDir->TypeTicked(1) && addDir->TypeTicked(2));
    QTest::mouseClick(addDir->selectAllButton, Qt::LeftButton);
    QVERIFY(addDir->TypeTicked(1) && addDir->TypeTicked(2));
  }

  void OkWithoutATypeIsRejectedButKeepsTheDirectories() {
    test::RecordingServices& messages = services.Fresh();
    ShowAddDir();
    QTest::mouseClick(addDir->selectNoneButton, Qt::LeftButton);
    addDir->folderEdit->setText("/new/scan");
    QTest::mouseClick(addDir->okButton, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].title, QString("Error"));
    QCOMPARE(messages.shown[0].text, QString("Please select the type of file to be converted!"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::Critical);
    QVERIFY(addDir->isVisible());
    QCOMPARE(global->settings.scanFolders, std::u16string(u"/new/scan"));

    addDir->typeList->item(1)->setCheckState(Qt::Checked);
    QTest::keyClick(addDir->folderEdit, Qt::Key_Return);
    QVERIFY(!addDir->isVisible());
    QCOMPARE(addDir->result(), int(QDialog::Accepted));
    QCOMPARE(messages.shown.size(), size_t{1});
  }

  void EscCancelsWithoutStoringTheDirectories() {
    ShowAddDir();
    addDir->folderEdit->setText("/other");
    QTest::keyClick(addDir->folderEdit, Qt::Key_Escape);
    QVERIFY(!addDir->isVisible());
    QCOMPARE(addDir->result(), int(QDialog::Rejected));
    QCOMPARE(global->settings.scanFolders, std::u16string(u"/data/talks;/data/lectures"));
  }

  void BrowseEditsTheDirectoriesAsRows() {
    ShowAddDir();
    addDir->folderEdit->setText("/a;/b");
    QStringList seenRows;
    int seenSelected = -2;
    QTimer::singleShot(0, this, [&] {
      seenRows = RowTexts(directory->folderList);
      seenSelected = directory->folderList->currentRow();
      QTest::mouseClick(directory->deleteButton, Qt::LeftButton);
      QTest::mouseClick(directory->okButton, Qt::LeftButton);
    });
    QTest::mouseClick(addDir->browseButton, Qt::LeftButton);
    QCOMPARE(seenRows, QStringList({"/a", "/b"}));
    QCOMPARE(seenSelected, 0);
    QCOMPARE(addDir->folderEdit->text(), QString("/b"));

    // Cancel in the directory dialog changes nothing.
    QTimer::singleShot(0, this, [&] {
      QTest::mouseClick(directory->deleteButton, Qt::LeftButton);
      QTest::keyClick(directory->folderList, Qt::Key_Escape);
    });
    QTest::mouseClick(addDir->browseButton, Qt::LeftButton);
    QCOMPARE(addDir->folderEdit->text(), QString("/b"));

    // Deleting every row leaves an empty directory text.
    QTimer::singleShot(0, this, [&] {
      QTest::mouseClick(directory->deleteButton, Qt::LeftButton);
      directory->accept();
    });
    QTest::mouseClick(addDir->browseButton, Qt::LeftButton);
    QCOMPARE(addDir->folderEdit->text(), QString());
  }

  void ClosingHandsTheTicksToTheSettings() {
    ShowAddDir();
    addDir->typeList->item(0)->setCheckState(Qt::Unchecked);
    addDir->recursiveBox->setChecked(true);
    QVERIFY(global->settings.scanType1);
    addDir.reset();
    QVERIFY(!global->settings.scanType1);
    QVERIFY(global->settings.scanType2);
    QVERIFY(global->settings.scanRecursive);
  }
};

QTEST_MAIN(DirectoryDialogsTest)
#include "DirectoryDialogsTest.moc"
