#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/dialogs/ConvertProgressDialog.h"
#include "app/dialogs/OverwritePromptDialog.h"

namespace dkscr {

class RunDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void progressCountsUpToTheMaximum() {
    ConvertProgressDialog dialog;
    dialog.Start(12);
    QVERIFY(dialog.isVisible());
    dialog.SetProgress(3);
    QCOMPARE(dialog.doneLabel->text(), QStringLiteral("3"));
    QCOMPARE(dialog.gauge->value(), 3);
    // The count and the maximum read as one, "3/12": the right-aligned count touches "/12".
    QCOMPARE(dialog.doneLabel->geometry().right() + 1, dialog.totalLabel->geometry().left());
    QCOMPARE(dialog.totalLabel->geometry().top(), dialog.doneLabel->geometry().top());
    dialog.Start(2);  // a new run starts from zero
    QCOMPARE(dialog.Progress(), 0);
    QCOMPARE(dialog.totalLabel->text(), QStringLiteral("/2"));
  }

  void cancelButtonEscAndCloseAllAskToStop() {
    ConvertProgressDialog dialog;
    int requests = 0;
    dialog.SetCancelHandler([&] { ++requests; });
    dialog.Start(3);
    QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
    QCOMPARE(requests, 1);
    QVERIFY(dialog.isVisible());  // the run closes it when it ends
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(requests, 2);
    QVERIFY(dialog.isVisible());
    dialog.close();
    QCOMPARE(requests, 3);
    QVERIFY(!dialog.isVisible());
  }

  // The run's dialogs open over the main window, not in the middle of the screen.
  void runDialogsOpenCentredOnTheirOwner() {
    QWidget owner;
    owner.setGeometry(40, 30, 900, 700);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    const QPoint middle = owner.frameGeometry().center();
    ConvertProgressDialog progress(&owner);
    progress.Start(3);
    QVERIFY((progress.frameGeometry().center() - middle).manhattanLength() <= 6);  // rounding
    OverwritePromptDialog prompt(&owner);
    QPoint seen;
    QTimer::singleShot(0, &prompt, [&] {
      seen = prompt.frameGeometry().center();
      prompt.close();
    });
    prompt.Ask(QStringLiteral("a.txt"));
    QVERIFY((seen - middle).manhattanLength() <= 6);
  }

  // The buttons' answers are driven through a whole run in the conversion-run suite.
  void promptEscAndFrameCloseAnswerCancel() {
    OverwritePromptDialog prompt;
    QTimer::singleShot(0, &prompt, [&] { QTest::keyClick(&prompt, Qt::Key_Escape); });
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), OverwriteAnswer::kCancel);
    QTimer::singleShot(0, &prompt, [&] { prompt.close(); });
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), OverwriteAnswer::kCancel);
    QTimer::singleShot(0, &prompt, [&] { QTest::keyClick(&prompt, Qt::Key_Return); });
    // Enter takes the default, Auto Rename.
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), OverwriteAnswer::kAutoRename);
  }
};

}  // namespace dkscr

QTEST_MAIN(dkscr::RunDialogsTest)
#include "RunDialogsTest.moc"
