// Plain rules of the dialogs, the list view's extra events, the search-progress dialog,
// the about box and the help window.

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include "app/dialogs/CodePageList.h"
#include "app/dialogs/FrameAnimation.h"
#include "app/dialogs/HelpWindow.h"
#include "app/widgets/ColumnTrackingTable.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/ScanProgressDialog.h"
#include "TestHooks.h"

using namespace dkscr;

class BasicDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void CodePageDisplay_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("shown");
    QTest::newRow("listed") << 1252 << "1252   Latin 1: European Western";
    QTest::newRow("default") << 0 << "0         Default";
    QTest::newRow("utf16") << 1200 << "1200   Unicode (UTF-16, ISO 10646)";
    QTest::newRow("not listed") << 28591 << "28591";
    QTest::newRow("prefix of an item") << 12 << "12";
    QTest::newRow("negative") << -5 << "-5";
  }
  void CodePageDisplay() {
    QFETCH(int, codePage);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(CodePageDisplayText(codePage)), shown);
  }

  void CodePageParsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("codePage");
    QTest::newRow("exact item") << "1252   Latin 1: European Western" << true << 1252;
    QTest::newRow("default item") << "0         Default" << true << 0;
    QTest::newRow("typed number") << "28591" << true << 28591;
    QTest::newRow("blanks around") << " 437 " << true << 437;
    QTest::newRow("not an exact item") << "1252 Latin" << false << 0;
    QTest::newRow("item with a changed space") << "1252  Latin 1: European Western"
                                               << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "utf8" << false << 0;
    QTest::newRow("hex") << "0x4e4" << false << 0;
    QTest::newRow("too large") << "4294967296" << false << 0;
    QTest::newRow("negative") << "-1" << true << -1;
  }
  void CodePageParsing() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, codePage);
    const auto parsed = ParseCodePageText(text.toStdString());
    QCOMPARE(parsed.has_value(), valid);
    if (valid) QCOMPARE(*parsed, codePage);
  }

  void ListViewReportsHorizontalScrolling() {
    ColumnTrackingTable list;
    list.setColumnCount(4);
    list.setRowCount(2);
    for (int c = 0; c < 4; ++c) list.setColumnWidth(c, 200);
    list.resize(200, 120);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy scrolled(&list, &ColumnTrackingTable::OnHScroll);
    QVERIFY(list.horizontalScrollBar()->maximum() > 0);
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    QTRY_COMPARE(scrolled.count(), 1);
    QCOMPARE(scrolled.at(0).at(0).value<QObject*>(), &list);
  }

  void ListViewReportsEndOfColumnResizeOnce() {
    ColumnTrackingTable list;
    list.setColumnCount(2);
    list.setColumnWidth(0, 60);
    list.setColumnWidth(1, 60);
    list.resize(300, 120);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy ended(&list, &ColumnTrackingTable::OnEndColumnResize);
    // Drag the border between the columns: one report when the button is released.
    QWidget* header = list.horizontalHeader()->viewport();
    const QPoint border(59, header->height() / 2);
    QTest::mousePress(header, Qt::LeftButton, {}, border);
    QTest::mouseMove(header, border + QPoint(20, 0));
    QTest::mouseMove(header, border + QPoint(40, 0));
    QCOMPARE(ended.count(), 0);
    QTest::mouseRelease(header, Qt::LeftButton, {}, border + QPoint(40, 0));
    QCOMPARE(ended.count(), 1);
    QVERIFY(list.columnWidth(0) > 60);
    // A click on a column without a resize reports nothing.
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(200, header->height() / 2));
    QCOMPARE(ended.count(), 1);
    // A width set by the program is a finished resize as well.
    list.setColumnWidth(1, 90);
    QCOMPARE(ended.count(), 2);
  }

  void SearchDialogStopsWithoutClosing() {
    ScanProgressDialog dialog;
    QSignalSpy stops(&dialog, &ScanProgressDialog::StopRequested);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.animation->IsPlaying());

    QTest::mouseClick(dialog.stopButton, Qt::LeftButton);
    QCOMPARE(stops.count(), 1);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(dialog.stopButton, Qt::Key_Escape);
    QCOMPARE(stops.count(), 2);
    QVERIFY(dialog.isVisible());

    // The owner closes it after the searches; closing stops as well and the animation ends.
    dialog.close();
    QCOMPARE(stops.count(), 3);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.animation->IsPlaying());
    dialog.show();
    QVERIFY(dialog.animation->IsPlaying());
  }

  void AboutBoxShowsNamesAnimationAndLink() {
    AboutDialog about;
    // A real link, drawn in the palette's link colour: no colour of its own.
    QCOMPARE(about.helpLink->text(), QString("<a href=\"help:contents\">Deckscribe Help</a>"));
    QCOMPARE(about.helpLink->accessibleName(), QString("Deckscribe Help"));
    QVERIFY(about.helpLink->textInteractionFlags().testFlag(Qt::LinksAccessibleByKeyboard));
    QCOMPARE(about.productVersion->text(), QString("Version 3.0"));
    QVERIFY(about.animation->IsPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(about.animation->CurrentFrame(), 1, 2000);

    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    // The link opens the help shipped with the program, never a web address.
    const QPoint onText(about.helpLink->fontMetrics().horizontalAdvance("Deck"), about.helpLink->height() / 2);
    QTest::mouseClick(about.helpLink, Qt::LeftButton, {}, onText);
    auto* help = about.findChild<HelpWindow*>();
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), QString("Contents.htm"));
    help->close();

    QTest::mouseClick(about.okButton, Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
  }

  void HelpOpensAtContentsAndAtOptions() {
    QWidget owner;
    HelpWindow* help = ShowHelp(&owner, QString());
    QCOMPARE(help->CurrentTopic(), QString("Contents.htm"));
    QVERIFY(help->browser->toPlainText().contains("Contents"));
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QString("Kel-Deckscribe Help"));  // not named twice
    QVERIFY(help->browser->toPlainText().contains("Add File chooses"));
    // The same window is reused for the options page.
    QCOMPARE(ShowHelp(&owner, kHelpOptions), help);
    QCOMPARE(help->CurrentTopic(), QString("Options.htm"));
    QVERIFY(help->browser->toPlainText().contains("When target file exists"));
    QVERIFY(help->browser->toPlainText().contains("File code page"));
    QCOMPARE(help->windowTitle(), QString("Kel-Deckscribe Help - Options"));
    // Esc closes it.
    QVERIFY(QTest::qWaitForWindowExposed(help));
    help->activateWindow();
    QTest::keyClick(help->browser, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
  }
};

QTEST_MAIN(BasicDialogsTest)
#include "BasicDialogsTest.moc"
