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
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Converting Files..."));
    QCOMPARE(dialog.LblSub->text(), QStringLiteral("0"));
    QCOMPARE(dialog.LblTot->text(), QStringLiteral("/12"));
    dialog.StepProgress();
    dialog.StepProgress();
    dialog.StepProgress();
    QCOMPARE(dialog.LblSub->text(), QStringLiteral("3"));
    QCOMPARE(dialog.ProgressBar1->value(), 3);
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

  void promptButtonsGiveTheirResults() {
    TFmFileOverTp prompt;
    QCOMPARE(prompt.windowTitle(), QStringLiteral("Kel-Deckscribe"));
    QCOMPARE(prompt.Label2->text(), QStringLiteral("The file already exist."));
    const std::pair<QPushButton*, int> cases[] = {
        {prompt.BtnAutoRename, 6}, {prompt.BtnOverwrite, 7},
        {prompt.BtnCancel, 2}, {prompt.SpeedButton1, 3}};
    for (const auto& [button, result] : cases) {
      QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
      QCOMPARE(prompt.Ask(QStringLiteral("/out/intro.txt")), result);
      QCOMPARE(prompt.LblFileName->text(), QStringLiteral("/out/intro.txt"));
    }
  }

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
