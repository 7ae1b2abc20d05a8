#include "app/widgets/MainWindowUi.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/session/AppState.h"
#include "app/widgets/AppImages.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/FileTableModel.h"
#include "app/widgets/PreviewPane.h"

namespace dkscr {

namespace {
// At the desktop's usual font; wider and taller when its font needs it.
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 22;
constexpr int kButtonBarMargin = 6;
constexpr int kButtonLeft = 8;
constexpr int kButtonGap = 4;
// Column widths in average characters of the table's font: State, Name, Source file,
// Size(Byte), Type, Target file, Convert Message (the last one also takes what is left).
constexpr int kColumnChars[] = {6, 26, 40, 10, 6, 40, 28};
// The preview's height at first, in lines of the table.
constexpr int kPreviewRows = 7;
}  // namespace

QString WindowText(const char* text) {
  return QCoreApplication::translate("dkscr::MainWindow", text);
}

MainWindowUi::MainWindowUi(QMainWindow& window, FileTableModel& model)
    : window_(window), model_(model), images_(MakeMenuImages()) {
  window_.setObjectName(QStringLiteral("MainWindow"));
  ShowRunPercent(-1);
  window_.setWindowIcon(MakeProgramIcon());
  BuildActions();
  BuildMenus();
  auto* central = new QWidget(&window_);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  splitter = new QSplitter(Qt::Vertical, central);
  splitter->setObjectName(QStringLiteral("ListAndPreview"));
  splitter->setChildrenCollapsible(true);
  BuildTable();
  splitter->addWidget(fileTable);
  preview = new PreviewPane(splitter);
  splitter->addWidget(preview);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  layout->addWidget(splitter, 1);
  buttonBar = new QWidget(central);
  buttonBar->setObjectName(QStringLiteral("PanelButtons"));
  BuildButtonBar();
  layout->addWidget(buttonBar);
  window_.setCentralWidget(central);
  BuildStatusBar();
  SetHints();
}

QAction* MainWindowUi::Action(int tag) const {
  const auto it = actions.find(tag);
  return it == actions.end() ? nullptr : it->second;
}

std::vector<int> MainWindowUi::SelectedRows(int rowCount) const {
  // Rows are selected whole, so each range of the selection marks its rows; walking the
  // ranges once stays fast with every row of a long list selected.
  std::vector<bool> flags(size_t(rowCount), false);
  for (const QItemSelectionRange& range : fileTable->selectionModel()->selection())
    for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), rowCount - 1); ++row)
      flags[size_t(row)] = true;
  std::vector<int> rows;
  for (size_t row = 0; row < flags.size(); ++row)
    if (flags[row]) rows.push_back(int(row));
  return rows;
}

void MainWindowUi::SelectRange(int first, int last) {
  if (first > last) return;
  programSelects_ = true;
  QItemSelectionModel* sel = fileTable->selectionModel();
  sel->select(QItemSelection(model_.index(first, 0), model_.index(last, kColumnCount - 1)),
              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  sel->setCurrentIndex(model_.index(last, 0), QItemSelectionModel::NoUpdate);
  programSelects_ = false;
  fileTable->scrollTo(sel->currentIndex());
}

void MainWindowUi::ClearSelection() {
  programSelects_ = true;
  fileTable->selectionModel()->clearSelection();
  programSelects_ = false;
}

void MainWindowUi::ShowStatus(const QString& text) { panels[2]->setText(text); }

void MainWindowUi::ShowFileCount(int count) {
  panels[1]->setText(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "%1 File(s)")).arg(count));
}

void MainWindowUi::ShowRunPercent(int percent) {
  const QString caption = WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "Kel-Deckscribe"));
  window_.setWindowTitle(percent < 0 ? caption : QStringLiteral("[%1%] %2").arg(percent).arg(caption));
}

void MainWindowUi::BuildActions() {
  for (const CommandInfo& c : CommandTable()) {
    auto* action = new QAction(CommandText(c.caption), &window_);
    action->setObjectName(QString::fromLatin1(c.action));
    action->setProperty(kTagProperty, c.tag);
    if (c.image >= 0) action->setIcon(images_[size_t(c.image)]);
    // Real shortcuts, which the menus show beside the captions; a key whose command the
    // menus do not offer at the moment still reaches the window's key preview.
    if (c.shortcut != 0) action->setShortcut(QKeySequence(c.shortcut));
    action->setShortcutContext(Qt::WindowShortcut);
    window_.addAction(action);
    actions[c.tag] = action;
  }
}

void MainWindowUi::BuildMenus() {
  QMenuBar* bar = window_.menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));
  auto sub = [this](QMenu* menu, const char* caption, int tag, int source, int target) {
    QMenu* s = menu->addMenu(WindowText(caption));
    s->menuAction()->setProperty(kTagProperty, tag);
    s->addAction(Action(source));
    s->addAction(Action(target));
  };
  const char* captions[] = {QT_TRANSLATE_NOOP("dkscr::MainWindow", "&File"), QT_TRANSLATE_NOOP("dkscr::MainWindow", "&Edit"),
                            QT_TRANSLATE_NOOP("dkscr::MainWindow", "Con&vert"), QT_TRANSLATE_NOOP("dkscr::MainWindow", "&Help")};
  for (size_t i = 0; i < topMenus.size(); ++i) topMenus[i] = bar->addMenu(WindowText(captions[i]));
  // Each menu lists its tags in order; 0 is a separator.
  const std::initializer_list<int> items[] = {
      {kTagOptions, 0, kTagViewLog, 0, kTagExit},
      {kTagAddFile, kTagAddDir, kTagPasteFile, 0, kTagDelete, kTagSelectAll},
      {kTagConvertAll, kTagConvertSelect, kTagReConvert, 0},
      {kTagContents, 0, kTagAbout}};
  for (size_t i = 0; i < topMenus.size(); ++i)
    for (int tag : items[i]) tag == 0 ? void(topMenus[i]->addSeparator()) : topMenus[i]->addAction(Action(tag));
  sub(topMenus[2], QT_TRANSLATE_NOOP("dkscr::MainWindow", "&Launch"), kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(topMenus[2], QT_TRANSLATE_NOOP("dkscr::MainWindow", "&Explore"), kTagExploreMenu, kTagExploreSource, kTagExploreTarget);

  contextMenu = new QMenu(&window_);
  contextMenu->setObjectName(QStringLiteral("ContextMenu"));
  for (int tag : std::initializer_list<int>{kTagConvertAll, kTagConvertSelect, kTagReConvert, 0,
                                           kTagAddFile, kTagAddDir, kTagDelete, 0, kTagSelectAll, 0})
    tag == 0 ? void(contextMenu->addSeparator()) : contextMenu->addAction(Action(tag));
  sub(contextMenu, QT_TRANSLATE_NOOP("dkscr::MainWindow", "Launch"), kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(contextMenu, QT_TRANSLATE_NOOP("dkscr::MainWindow", "Explore"), kTagExploreMenu, kTagExploreSource, kTagExploreTarget);
}

void MainWindowUi::BuildTable() {
  fileTable = new QTableView(&window_);
  fileTable->setObjectName(QStringLiteral("FileTable"));
  fileTable->setAccessibleName(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "Presentations to convert")));
  fileTable->setModel(&model_);
  // Tab leaves the list for the buttons; the arrow keys move within it.
  fileTable->setTabKeyNavigation(false);
  // Rows told apart by the palette's own colours, so that a dark theme reads as well.
  fileTable->setAlternatingRowColors(true);
  fileTable->setShowGrid(true);
  fileTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  fileTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
  fileTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fileTable->setWordWrap(false);
  fileTable->setTextElideMode(Qt::ElideRight);
  fileTable->setIconSize(QSize(16, 16));
  fileTable->verticalHeader()->hide();
  // Rows as tall as the font needs, never less than the 16-pixel icons with a margin.
  fileTable->verticalHeader()->setDefaultSectionSize(
      std::max(19, fileTable->fontMetrics().height() + 6));
  QHeaderView* header = fileTable->horizontalHeader();
  header->setHighlightSections(false);
  header->setSectionsClickable(true);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setStretchLastSection(true);
  const int charWidth = fileTable->fontMetrics().averageCharWidth();
  for (int c = 0; c < kColumnCount; ++c)
    fileTable->setColumnWidth(c, std::max(kColumnChars[c] * charWidth, MinimumColumnWidth(c)));
  fileTable->setContextMenuPolicy(Qt::CustomContextMenu);
}

int MainWindowUi::MinimumColumnWidth(int column) const {
  // The caption with its sort marker, and the header's own margins.
  const QFontMetrics metrics = fileTable->horizontalHeader()->fontMetrics();
  return metrics.horizontalAdvance(MarkSortCaption(model_.Caption(column), false)) +
         3 * metrics.averageCharWidth();
}

void MainWindowUi::BuildButtonBar() {
  int left = kButtonLeft;
  int height = kButtonHeight;
  for (const ButtonInfo& b : ButtonTable()) {
    auto* button = new QToolButton(buttonBar);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setText(CommandText(b.caption));
    button->setIcon(images_[size_t(b.image)]);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Flat buttons; Convert keeps its frame, which sets it apart as the bar's main command.
    button->setAutoRaise(b.tag != kTagConvertAll);
    button->setProperty(kTagProperty, b.tag);
    // 65 by 22 pixels unless the font in use needs more for the caption.
    const int width = std::max(kButtonWidth, button->sizeHint().width());
    height = std::max(height, button->sizeHint().height());
    button->setFixedWidth(width);
    button->move(left, kButtonBarMargin);
    left += width + kButtonGap;
    buttons[b.name] = button;
  }
  for (auto& [name, button] : buttons) button->setFixedHeight(height);
  buttonBar->setFixedHeight(height + 2 * kButtonBarMargin);
  buttonBarWidth_ = left + kButtonLeft;
}

void MainWindowUi::BuildStatusBar() {
  QStatusBar* bar = window_.statusBar();
  bar->setObjectName(QStringLiteral("StatusBarMain"));
  bar->setSizeGripEnabled(true);
  for (size_t i = 0; i < panels.size(); ++i) {
    panels[i] = new QLabel(bar);
    panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panels[i]->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(panels[i], i == 2 ? 1 : 0);
  }
  panels[0]->setFrameShape(QFrame::NoFrame);
  panels[1]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panels[2]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panels[0]->setText(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "Kel-Deckscribe 3.0")));
}

void MainWindowUi::SetHints() {
  for (const CommandInfo& c : CommandTable()) {
    QAction* action = Action(c.tag);
    action->setStatusTip(CommandText(c.hint));
    action->setToolTip(CommandText(c.hint));
  }
  for (auto& [name, button] : buttons) {
    const QString hint = Action(button->property(kTagProperty).toInt())->statusTip();
    button->setToolTip(hint);
    button->setStatusTip(hint);
  }
}

void MainWindowUi::KeepConvertButtonRight() {
  QToolButton* convert = buttons["BtnConvert"];
  QToolButton* addFile = buttons["BtnAddFile"];
  convert->move(buttonBar->width() - convert->width() - addFile->x() - 4, convert->y());
}

void MainWindowUi::Place(const WindowPlacement& p) {
  // Room for the button bar and a few rows, whatever the font.
  const int rowHeight = fileTable->verticalHeader()->defaultSectionSize();
  const int chrome = window_.menuBar()->sizeHint().height() + buttonBar->height() +
                     window_.statusBar()->sizeHint().height();
  window_.setMinimumSize(buttonBarWidth_, chrome + 6 * rowHeight);
  if (p.columnWidths.size() == size_t(kColumnCount)) {
    for (int c = 0; c < kColumnCount; ++c)
      fileTable->setColumnWidth(c, std::max(int(p.columnWidths[size_t(c)]), MinimumColumnWidth(c)));
  }
  const int previewHeight = p.previewHeight > 0 ? int(p.previewHeight) : kPreviewRows * rowHeight;
  splitter->setSizes({std::max(window_.height(), 1000), previewHeight});
  const QRect saved(p.left, p.top, p.width, p.height);
  if (p.known && QGuiApplication::screenAt(saved.center()) != nullptr) {
    window_.resize(saved.size().expandedTo(window_.minimumSize()));
    window_.move(saved.topLeft());
    if (p.maximized) window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
    return;
  }
  // First start: wide enough for every column, as far as the screen allows.
  int width = 2 * fileTable->frameWidth() + fileTable->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < kColumnCount; ++c) width += fileTable->columnWidth(c);
  int height = chrome + (14 + kPreviewRows) * rowHeight;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    const QRect area = primary->availableGeometry();
    const int room = std::max(area.width() * 9 / 10, window_.minimumWidth());
    // A narrow screen: the path and message columns give up what is missing, then the name.
    for (int c : {kColSource, kColMessage, kColTarget, kColName}) {
      if (width <= room) break;
      const int give = std::min(width - room, fileTable->columnWidth(c) - MinimumColumnWidth(c));
      if (give <= 0) continue;
      fileTable->setColumnWidth(c, fileTable->columnWidth(c) - give);
      width -= give;
    }
    width = std::min(width, room);
    height = std::min(height, area.height() * 9 / 10);
  }
  window_.resize(QSize(width, height).expandedTo(window_.minimumSize()));
}

void MainWindowUi::Remember(WindowPlacement& p) const {
  const bool maximized = window_.isMaximized();
  const QRect normal = maximized || window_.isFullScreen() ? window_.normalGeometry()
                                                           : window_.geometry();
  if (normal.width() <= 0 || normal.height() <= 0) return;
  p.known = true;
  p.left = normal.x();
  p.top = normal.y();
  p.width = normal.width();
  p.height = normal.height();
  p.maximized = maximized;
  p.columnWidths.clear();
  for (int c = 0; c < kColumnCount; ++c) p.columnWidths.push_back(fileTable->columnWidth(c));
  p.previewHeight = splitter->sizes().value(1);
}

}  // namespace dkscr
