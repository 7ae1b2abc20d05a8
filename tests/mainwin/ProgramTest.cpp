// The whole program as it starts from its main, under a German locale (the test runs with
// LANG=de_DE.UTF-8): the translation is found and loaded, a settings folder that takes no
// files is said at start and closing then asks nothing, and files from the command line
// reach the list.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/session/ProgramDir.h"
#include "app/session/Session.h"
#include "app/shell/ListHandOver.h"
#include "app/shell/Program.h"
#include "app/widgets/MainWindow.h"
#include "tests/mainwin/WindowTestKit.h"

using namespace dkscr;

class ProgramTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  QProcess bus_;  // a session bus of the test's own, when the machine has none running

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        !QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
      bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
      if (bus_.waitForReadyRead(5000))
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_.readLine().trimmed());
    }
    SetUpApplication(*qApp);
  }

  void cleanupTestCase() {
    bus_.kill();
    bus_.waitForFinished();
  }

  void menusAreGermanUnderAGermanLocale() {
    QCOMPARE(QLocale().language(), QLocale::German);
    qputenv("DECKSCRIBE_HOME", home_.filePath("german").toUtf8());
    QStringList menus;
    QString convert, count;
    const int status = RunProgram({}, [&](MainWindow& window) {
      for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
      convert = window.Button("BtnConvert")->text();
      count = window.StatusPanel(1);
      window.close();
    });
    QCOMPARE(status, 0);
    QCOMPARE(menus, QStringList({"&Datei", "&Bearbeiten", "Um&wandeln", "&Hilfe"}));
    QCOMPARE(convert, QString("&Umwandeln"));
    QCOMPARE(count, QString("0 Datei(en)"));
  }

  // A settings folder that takes no files is said once, in the status bar; closing by the
  // user then ends at once, with no box waiting for a click.
  void unwritableSettingsFolderIsSaidAtStartAndClosingAsksNothing() {
    test::WriteBytes(home_.filePath("blocker"), "a file where the folder should be");
    const QString folder = home_.filePath("blocker/deckscribe");
    qputenv("DECKSCRIBE_HOME", folder.toUtf8());
    int boxes = 0;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) ++boxes, box->close();
    });
    probe.start(5);
    QString said;
    QElapsedTimer clock;
    const int status = RunProgram({}, [&](MainWindow& window) {
      said = window.StatusPanel(2);
      clock.start();
      window.close();
    });
    const qint64 closing = clock.elapsed();
    QVERIFY2(said.contains(folder), qPrintable(said));
    QCOMPARE(boxes, 0);
    QVERIFY2(closing < 5000, qPrintable(QString::number(closing)));
    QCOMPARE(status, 1);  // what could not be saved is still an error for the caller
  }

  void filesFromTheCommandLineReachTheList() {
    qputenv("DECKSCRIBE_HOME", home_.filePath("cli").toUtf8());
    test::MakeFiles(home_.filePath("decks"), {"a.ppt", "sub/b.pptm", "c.txt"});
    int count = -1;
    RunProgram({test::U(home_.filePath("decks"))}, [&](MainWindow& window) {
      QVERIFY(test::WaitUntilIdle(window));
      count = window.Model()->rowCount();
      window.close();
    });
    QCOMPARE(count, 2);
  }

  // A later start of the program on the same folder ("Open with" while the window is open)
  // hands its files to the window that keeps the list.
  void aLaterStartHandsItsFilesToTheWindowThatKeepsTheList() {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) QSKIP("no session bus (dbus-daemon)");
    qputenv("DECKSCRIBE_HOME", home_.filePath("handover").toUtf8());
    test::MakeFiles(home_.filePath("more"), {"x.ppt", "sub/y.pptx"});
    bool handed = false;
    int rows = -1;
    RunProgram({}, [&](MainWindow& window) {
      handed = HandToListOwner(ProgramDir(), {test::U(home_.filePath("more/x.ppt")),
                                              test::U(home_.filePath("more"))});
      QVERIFY(test::WaitUntilIdle(window));
      rows = window.Model()->rowCount();
      window.close();
    });
    QVERIFY(handed);
    QCOMPARE(rows, 2);
    // With the window gone, no one takes them: the later start opens a window of its own.
    QVERIFY(!HandToListOwner(ProgramDir(), {test::U(home_.filePath("more/x.ppt"))}));
  }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
