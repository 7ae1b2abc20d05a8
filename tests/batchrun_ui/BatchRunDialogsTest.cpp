#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/batchrun/UnCancelCvt.h"
#include "app/batchrun/UnFileOverTp.h"

namespace dkscr {

class BatchRunDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void progressCountsUpToTheMaximum() {
    TFmCancelCvt dialog;
    dialog.Start(12);
    QVERIFY(dialog.isVisible());
    dialog.StepProgress();
    dialog.StepProgress();
    dialog.StepProgress();
    QCOMPARE(dialog.LblSub->text(), QStringLiteral("3"));
    QCOMPARE(dialog.ProgressBar1->value(), 3);
    // The count and the maximum read as one, "3/12": the right-aligned count touches "/12".
    QCOMPARE(dialog.LblSub->geometry().right() + 1, dialog.LblTot->geometry().left());
    QCOMPARE(dialog.LblTot->geometry().top(), dialog.LblSub->geometry().top());
    dialog.Start(2);  // a new run starts from zero
    QCOMPARE(dialog.Progress(), 0);
    QCOMPARE(dialog.LblTot->text(), QStringLiteral("/2"));
  }

  void cancelButtonEscAndCloseAllAskToStop() {
    TFmCancelCvt dialog;
    int requests = 0;
    dialog.SetCancelHandler([&] { ++requests; });
    dialog.Start(3);
    QTest::mouseClick(dialog.BtnCancel, Qt::LeftButton);
    QCOMPARE(requests, 1);
    QVERIFY(dialog.isVisible());  // the run closes it when it ends
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(requests, 2);
    QVERIFY(dialog.isVisible());
    dialog.close();
    QCOMPARE(requests, 3);
    QVERIFY(!dialog.isVisible());
  }

  // The buttons' answers are driven through a whole run in the conversion-run suite.
  void promptEscAndFrameCloseAnswerCancel() {
    TFmFileOverTp prompt;
    QTimer::singleShot(0, &prompt, [&] { QTest::keyClick(&prompt, Qt::Key_Escape); });
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), 2);
    QTimer::singleShot(0, &prompt, [&] { prompt.close(); });
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), 2);
    QTimer::singleShot(0, &prompt, [&] { QTest::keyClick(&prompt, Qt::Key_Return); });
    QCOMPARE(prompt.Ask(QStringLiteral("a.txt")), 6);  // Enter takes the default, Auto Rename
  }
};

}  // namespace dkscr

QTEST_MAIN(dkscr::BatchRunDialogsTest)
#include "BatchRunDialogsTest.moc"
