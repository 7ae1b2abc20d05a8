#include "app/UnMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include "app/AppImages.h"
#include "app/ClipboardFiles.h"
#include "app/FileAdding.h"
#include "app/session/FileNames.h"
#include "app/FileProbe.h"
#include "app/MainDialogs.h"
#include "app/MainRunHost.h"
#include "app/SavedFileList.h"

namespace dkscr {

namespace {
// At the desktop's usual font; wider and taller when its font needs it.
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 22;
constexpr int kButtonBarMargin = 6;
constexpr int kButtonLeft = 8;
constexpr int kButtonGap = 4;
// Column widths in average characters of the list's font: State, Name, Source file,
// Size(Byte), Type, Target file, Convert Message.
constexpr int kColumnChars[] = {6, 14, 40, 10, 6, 40, 24};
constexpr const char* kTagProperty = "Tag";

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QStringList RunOpenDialog(QWidget* parent, const QStringList& filters) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(filters);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

// The desktop's file manager shows the item selected (org.freedesktop.FileManager1).
bool ShowItemInFileManager(const QUrl& url) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();
  const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

TFmMain::TFmMain(AppState& global, QWidget* parent) : QMainWindow(parent), FGlobal(global) {
  FServices.OpenFiles = RunOpenDialog;
  FServices.OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  FServices.ShowItem = ShowItemInFileManager;
  FServices.SaveProblem = [](const QString& text) {
    std::fprintf(stderr, "Deckscribe: %s\n", text.toLocal8Bit().constData());
  };
  FormCreate();
}

TFmMain::~TFmMain() { FormDestroy(); }

void TFmMain::FormCreate() {
  setObjectName(QStringLiteral("FmMain"));
  setWindowTitle(QStringLiteral("Kel-Deckscribe"));
  setWindowIcon(MakeProgramIcon());

  FImageMenu = MakeMenuImages();
  BuildActions();
  BuildMenus();

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildList();
  layout->addWidget(ListView1, 1);
  FButtonBar = new QWidget(central);
  FButtonBar->setObjectName(QStringLiteral("PanelButtons"));
  BuildButtonBar(FButtonBar);
  layout->addWidget(FButtonBar);
  setCentralWidget(central);
  BuildStatusBar();
  SetActionHints();
  PlaceWindow();

  // The whole window takes dropped files; the form previews every key press.
  setAcceptDrops(true);
  qApp->installEventFilter(this);

  TimerSelectItems = new QTimer(this);
  TimerSelectItems->setObjectName(QStringLiteral("TimerSelectItems"));
  TimerSelectItems->setInterval(50);
  TimerSelectItems->setSingleShot(false);
  connect(TimerSelectItems, &QTimer::timeout, this, &TFmMain::TimerSelectItemsTimer);

  FFileCount = 0;
  FCancel = false;
  FSort = TSortState();

  TFileList loaded;
  const TFileListLoadResult result = LoadFileList(loaded, FGlobal.JobFilePath());
  if (result.Status == TFileListLoadStatus::Loaded ||
      result.Status == TFileListLoadStatus::Damaged) {
    FModel->ReplaceAll(std::move(loaded));
    FFileCount = FModel->Count();
  }
  if (LoadLeftUnreadFile(result.Status)) KeepUnreadJobFile(result.Status);
  ShowFileCount();

  FFileSearch.OnFileFind = [this](const std::u16string& path, const TFindData& info) {
    DoFileFound(path, info);
  };
  FFileSearch.OnChangeFolder = [this](const std::u16string& path) { DoChangeFolder(path); };
  FFileSearch.OnFinish = [this](TKelFileSearch&) { DoSearchFinish(); };
  FFileSearch.ProcessMessages = [this] { ProcessScanMessages(); };
}

void TFmMain::FormDestroy() {
  qApp->removeEventFilter(this);
  FOutBuffer.Free();
  setAcceptDrops(false);
  RememberPlacement();
  SaveJobFile();
  FDirList.clear();
}

void TFmMain::SaveNow() {
  RememberPlacement();
  SaveJobFile();
}

void TFmMain::SetDialogs(TMainDialogs* dialogs) {
  FDialogs = dialogs;
  if (FDialogs == nullptr || FStartProblem.isEmpty()) return;
  const QString text = std::exchange(FStartProblem, QString());
  // After the window has appeared, not in the middle of building it.
  QTimer::singleShot(0, this, [this, text] {
    if (FDialogs) FDialogs->ShowError(text);
  });
}

void TFmMain::KeepUnreadJobFile(TFileListLoadStatus status) {
  const QString job = Q(FGlobal.JobFilePath());
  const QString why = status == TFileListLoadStatus::Damaged      ? tr("it is damaged")
                      : status == TFileListLoadStatus::UnknownTag ? tr("it is not a list file")
                                                                  : tr("it cannot be read");
  int error = 0;
  const std::u16string backup = KeepAsBackup(FGlobal.JobFilePath(), error);
  if (!backup.empty()) {
    FStartProblem = tr("The saved file list %1 could not be loaded completely (%2). "
                                   "It was kept as %3.")
                        .arg(job, why, Q(backup));
  } else {
    FJobFileKept = true;
    FStartProblem = tr("The saved file list %1 could not be loaded completely (%2) "
                                   "and could not be kept aside (%3). It will not be replaced "
                                   "when the program ends.")
                        .arg(job, why, QString::fromLocal8Bit(std::strerror(error)));
  }
  ShowStatusMessage(FStartProblem);
  Log(FStartProblem.toStdU16String());
  FLogFailed = false;  // the log's own trouble is told when it is next written
}

void TFmMain::SaveJobFile() {
  const QString job = Q(FGlobal.JobFilePath());
  auto tell = [this](const QString& text) {
    if (FServices.SaveProblem) FServices.SaveProblem(text);
  };
  if (FJobFileKept) {
    tell(tr("The file list was not saved, so as not to replace %1.").arg(job));
    return;
  }
  // A folder that cannot be written loses the list, not the program's orderly end.
  const TFileListSaveResult saved = SaveFileList(FModel->List(), FGlobal.JobFilePath());
  if (!saved.Ok()) {
    tell(tr("Unable to write to %1: %2")
             .arg(job, QString::fromLocal8Bit(std::strerror(saved.Error))));
    return;
  }
  if (saved.DroppedEntries > 0)
    tell(tr("%1 entries beyond the first %2 were not saved in %3.")
             .arg(saved.DroppedEntries).arg(kMaxJobEntries).arg(job));
  if (saved.CutTexts > 0)
    tell(tr("%1 texts too long for %2 were shortened.").arg(saved.CutTexts).arg(job));
}

// ---- building the window ------------------------------------------------------------------

void TFmMain::BuildActions() {
  for (const CommandInfo& c : CommandTable()) {
    auto* action = new QAction(CommandText(c.caption), this);
    action->setObjectName(QString::fromLatin1(c.action));
    action->setProperty(kTagProperty, c.tag);
    if (c.image >= 0) action->setIcon(FImageMenu[size_t(c.image)]);
    // The captions carry their shortcut text; the keys themselves go through FormKeyDown.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, [this, action] { MenuItemClick(action); });
    FActions[c.tag] = action;
  }
}

void TFmMain::BuildMenus() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  auto top = [this](const char* caption, int index) {
    QMenu* menu = MainMenu1->addMenu(tr(caption));
    FTopMenus[size_t(index)] = menu;
    connect(menu, &QMenu::aboutToShow, this, &TFmMain::ActionMainMenuBar1Paint);
    return menu;
  };
  auto sub = [this](QMenu* menu, const char* caption, int tag, int source, int target) {
    QMenu* s = menu->addMenu(tr(caption));
    s->menuAction()->setProperty(kTagProperty, tag);
    s->addAction(ActionOfTag(source));
    s->addAction(ActionOfTag(target));
  };

  QMenu* file = top(QT_TR_NOOP("&File "), 0);
  file->addAction(ActionOfTag(kTagOptions));
  file->addSeparator();
  file->addAction(ActionOfTag(kTagViewLog));
  file->addSeparator();
  file->addAction(ActionOfTag(kTagExit));

  QMenu* edit = top(QT_TR_NOOP("&Edit "), 1);
  edit->addAction(ActionOfTag(kTagAddFile));
  edit->addAction(ActionOfTag(kTagAddDir));
  edit->addAction(ActionOfTag(kTagPasteFile));
  edit->addSeparator();
  edit->addAction(ActionOfTag(kTagDelete));
  edit->addAction(ActionOfTag(kTagSelectAll));

  QMenu* convert = top(QT_TR_NOOP("Con&vert "), 2);
  convert->addAction(ActionOfTag(kTagConvertAll));
  convert->addAction(ActionOfTag(kTagConvertSelect));
  convert->addAction(ActionOfTag(kTagReConvert));
  convert->addSeparator();
  sub(convert, QT_TR_NOOP("&Launch"), kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(convert, QT_TR_NOOP("&Explore"), kTagExploreMenu, kTagExploreSource, kTagExploreTarget);

  QMenu* help = top(QT_TR_NOOP("&Help "), 3);
  help->addAction(ActionOfTag(kTagContents));
  help->addSeparator();
  help->addAction(ActionOfTag(kTagAbout));

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addAction(ActionOfTag(kTagConvertAll));
  PopupMenu1->addAction(ActionOfTag(kTagConvertSelect));
  PopupMenu1->addAction(ActionOfTag(kTagReConvert));
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(ActionOfTag(kTagAddFile));
  PopupMenu1->addAction(ActionOfTag(kTagAddDir));
  PopupMenu1->addAction(ActionOfTag(kTagDelete));
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(ActionOfTag(kTagSelectAll));
  PopupMenu1->addSeparator();
  sub(PopupMenu1, QT_TR_NOOP("Launch"), kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(PopupMenu1, QT_TR_NOOP("Explore"), kTagExploreMenu, kTagExploreSource, kTagExploreTarget);
}

void TFmMain::BuildButtonBar(QWidget* bar) {
  int left = kButtonLeft;
  int height = kButtonHeight;
  for (const ButtonInfo& b : ButtonTable()) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setText(CommandText(b.caption));
    button->setIcon(FImageMenu[size_t(b.image)]);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setProperty(kTagProperty, b.tag);
    // 65 by 22 pixels unless the font in use needs more for the caption.
    const int width = std::max(kButtonWidth, button->sizeHint().width());
    height = std::max(height, button->sizeHint().height());
    button->setFixedWidth(width);
    button->move(left, kButtonBarMargin);
    left += width + kButtonGap;
    connect(button, &QToolButton::clicked, this, [this, button] { MenuItemClick(button); });
    Buttons[b.name] = button;
  }
  for (auto& [name, button] : Buttons) button->setFixedHeight(height);
  bar->setFixedHeight(height + 2 * kButtonBarMargin);
  FButtonBarWidth = left + kButtonLeft;
  Buttons["BtnConvert"]->setStyleSheet(
      QStringLiteral("QToolButton { border: 1px solid navy; border-radius: 2px; }"));
}

void TFmMain::BuildList() {
  FModel = new TFileListModel(this);
  FModel->SetStateIcons(MakeStateIcons());
  ListView1 = new QTableView(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setModel(FModel);
  ListView1->setShowGrid(true);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setWordWrap(false);
  ListView1->setTextElideMode(Qt::ElideRight);
  ListView1->setIconSize(QSize(16, 16));
  ListView1->verticalHeader()->hide();
  // Rows as tall as the font needs, never less than the 16-pixel icons with a margin.
  ListView1->verticalHeader()->setDefaultSectionSize(
      std::max(19, ListView1->fontMetrics().height() + 6));
  ListView1->horizontalHeader()->setHighlightSections(false);
  ListView1->horizontalHeader()->setSectionsClickable(true);
  ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const int charWidth = ListView1->fontMetrics().averageCharWidth();
  for (int c = 0; c < kColumnCount; ++c)
    ListView1->setColumnWidth(c, std::max(kColumnChars[c] * charWidth, MinimumColumnWidth(c)));
  // The list's own background is the tooltip colour; odd rows are painted white.
  QPalette pal = ListView1->palette();
  const QColor info = QApplication::palette().color(QPalette::ToolTipBase);
  pal.setColor(QPalette::Base, info);
  ListView1->setPalette(pal);
  FModel->SetEvenRowColor(info);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1, &QWidget::customContextMenuRequested, this, &TFmMain::PopupMenu1Popup);
  connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &TFmMain::ListView1ColumnClick);
  // Adding selects what it added and says so itself; only the user's own selecting is
  // counted, so that the add's message stays readable.
  connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (FAddingDepth == 0 && !FProgramSelects) TimerSelectItems->start();
  });
}

int TFmMain::MinimumColumnWidth(int column) const {
  // The caption with its sort marker, and the header's own margins.
  const QString caption = FModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  const QFontMetrics metrics = ListView1->horizontalHeader()->fontMetrics();
  return metrics.horizontalAdvance(QString::fromStdU16String(MarkSortCaption(
             caption.toStdU16String(), false))) + 3 * metrics.averageCharWidth();
}

void TFmMain::PlaceWindow() {
  // Room for the button bar and a few rows, whatever the font.
  const int rowHeight = ListView1->verticalHeader()->defaultSectionSize();
  setMinimumSize(FButtonBarWidth, menuBar()->sizeHint().height() + 6 * rowHeight +
                                      FButtonBar->height() + statusBar()->sizeHint().height());
  const WindowPlacement& p = FGlobal.windowPlacement;
  const QRect saved(p.left, p.top, p.width, p.height);
  const QScreen* screen = QGuiApplication::screenAt(saved.center());
  if (p.known && screen != nullptr) {
    resize(saved.size().expandedTo(minimumSize()));
    move(saved.topLeft());
    if (p.maximized) setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  // First start: wide enough for every column, as far as the screen allows.
  int width = 2 * ListView1->frameWidth() + ListView1->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < kColumnCount; ++c) width += ListView1->columnWidth(c);
  int height = menuBar()->sizeHint().height() + 14 * rowHeight + FButtonBar->height() +
               statusBar()->sizeHint().height();
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    const QRect area = primary->availableGeometry();
    const int room = std::max(area.width() * 9 / 10, minimumWidth());
    // A narrow screen: the path and message columns give up what is missing.
    for (int c : {kColSource, kColMessage, kColTarget}) {
      if (width <= room) break;
      const int give = std::min(width - room, ListView1->columnWidth(c) - MinimumColumnWidth(c));
      if (give <= 0) continue;
      ListView1->setColumnWidth(c, ListView1->columnWidth(c) - give);
      width -= give;
    }
    width = std::min(width, room);
    height = std::min(height, area.height() * 9 / 10);
  }
  resize(QSize(width, height).expandedTo(minimumSize()));
}

void TFmMain::RememberPlacement() {
  if (!isVisible() && !FWasShown) return;
  WindowPlacement& p = FGlobal.windowPlacement;
  const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
  if (normal.width() <= 0 || normal.height() <= 0) return;
  p = {true, normal.x(), normal.y(), normal.width(), normal.height(), isMaximized()};
}

void TFmMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBarMain"));
  bar->setSizeGripEnabled(true);
  for (size_t i = 0; i < FPanels.size(); ++i) {
    FPanels[i] = new QLabel(bar);
    FPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    FPanels[i]->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(FPanels[i], i == 2 ? 1 : 0);
  }
  FPanels[0]->setFrameShape(QFrame::NoFrame);
  FPanels[1]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FPanels[2]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FPanels[0]->setText(tr("Kel-Deckscribe 3.0"));
  FPanels[1]->setText(tr("0 File(s)"));
}

void TFmMain::SetActionHints() {
  for (const CommandInfo& c : CommandTable()) {
    QAction* action = ActionOfTag(c.tag);
    action->setStatusTip(CommandText(c.hint));
    action->setToolTip(CommandText(c.hint));
  }
  for (auto& [name, button] : Buttons) {
    const QString hint = ActionOfTag(button->property(kTagProperty).toInt())->statusTip();
    button->setToolTip(hint);
    button->setStatusTip(hint);
  }
}

// ---- commands -----------------------------------------------------------------------------

QAction* TFmMain::ActionOfTag(int tag) const {
  const auto it = FActions.find(tag);
  return it == FActions.end() ? nullptr : it->second;
}

void TFmMain::MenuItemClick(QObject* sender) {
  if (sender == nullptr) return;
  const QVariant tag = sender->property(kTagProperty);
  if (tag.isValid()) RunCommand(tag.toInt());
}

void TFmMain::RunCommand(int tag) {
  // A run or a scan walks the list while handling events: nothing may change it meanwhile.
  if ((FConverting || FScanning) && ChangesListOrConverts(tag)) return;
  switch (tag) {
    case kTagOptions:
      if (FDialogs) FDialogs->ShowOptions();
      break;
    case kTagExit: close(); break;
    case kTagViewLog:
      if (FDialogs) FDialogs->ShowViewLog();
      break;
    case kTagAddFile: DoAddFile(); break;
    case kTagAddDir: DoAddDir(); break;
    case kTagPasteFile: DoPaste(); break;
    case kTagDelete: DoDelete(); break;
    case kTagSelectAll: DoSelectAll(); break;
    case kTagConvertAll: ConvertFiles(cmAll); break;
    case kTagConvertSelect: ConvertFiles(cmSelected); break;
    case kTagReConvert: ConvertFiles(cmReconvert); break;
    case kTagLaunchSource: OpenEntryFile(true, true); break;
    case kTagLaunchTarget: OpenEntryFile(false, true); break;
    case kTagExploreSource: OpenEntryFile(true, false); break;
    case kTagExploreTarget: OpenEntryFile(false, false); break;
    case kTagContents:
      if (FDialogs) FDialogs->ShowHelp();
      break;
    case kTagAbout:
      if (FDialogs) FDialogs->ShowAbout();
      break;
    default: break;
  }
}

void TFmMain::ConvertFiles(TConvertMode mode) {
  // Messages are handled between entries: nothing may start a second run or change the list
  // while this one walks it.
  if (FConverting || FScanning) return;
  FConverting = true;
  ActionMainMenuBar1Paint();
  TMainRunHost host(*this);
  const std::vector<ConverterForType> converters =
      FConverters.empty() ? StandardConverters(SlideModeOfTextForm(FGlobal.settings.textForm), FZipHooks) : FConverters;
  RunConversion(mode, host, FOutBuffer, converters);
  FConverting = false;
  ReportLogFailure();
  ActionMainMenuBar1Paint();
  if (FCloseAfterRun) {
    FCloseAfterRun = false;
    close();
  }
}

// ---- adding files ---------------------------------------------------------------------------

std::u16string TFmMain::TargetFileName(std::u16string_view source) const {
  return dkscr::TargetFileName(source, FGlobal.settings);
}

void TFmMain::Log(const std::u16string& message) {
  try {
    FGlobal.WriteLog(message);
  } catch (const std::exception& e) {
    if (!FLogFailed) FLogError = QString::fromLocal8Bit(e.what());
    FLogFailed = true;
  }
}

void TFmMain::ReportLogFailure() {
  if (!FLogFailed) return;
  FLogFailed = false;
  // The error's own text names the log and the reason.
  if (FDialogs) FDialogs->ShowError(FLogError);
}

void TFmMain::AddFile(const std::u16string& path) {
  const QString qpath = Q(path);
  if (FModel->ContainsSource(path)) {
    ShowStatusMessage(tr("File [%1] already added!").arg(qpath));
    Log(u"Add file failed: already added (" + path + u")");
    return;
  }
  const int type = FGlobal.FileTypeOfExtension(ExtensionOf(path));
  if (type == 0) {
    ShowStatusMessage(tr("File [%1] type not support!").arg(qpath));
    Log(u"Add file failed: type not support (" + path + u")");
    return;
  }
  TFileListEntry entry;
  entry.State = kStateNew;
  entry.SetSubItem(kSubItemName, std::u16string(FileNamePart(path)));
  entry.SetSubItem(kSubItemSourceFile, path);
  entry.SetSubItem(kSubItemSize, QString::number(FileSizeOf(path)).toStdU16String());
  entry.SetSubItem(kSubItemType, std::u16string(FileTypeRow(type).TypeTag));
  entry.SetSubItem(kSubItemTargetFile, TargetFileName(path));
  entry.SetSubItem(kSubItemMessage, std::u16string());
  FModel->Append(std::move(entry));
  const int row = FModel->Count() - 1;
  if (FAddingDepth == 0) {
    SelectRows(row, row);
  } else if (FAddingFirstRow < 0) {
    FAddingFirstRow = row;
  }
  ++FFileCount;
}

void TFmMain::BeginAdding() { ++FAddingDepth; }

void TFmMain::EndAdding() {
  // Rows added meanwhile are the last ones: the list is not sorted or cut during an add.
  if (FAddingFirstRow >= 0 && FAddingFirstRow < FModel->Count())
    SelectRows(FAddingFirstRow, FModel->Count() - 1);
  FAddingFirstRow = -1;
  if (FAddingDepth > 0) --FAddingDepth;
  if (FAddingDepth == 0) TimerSelectItems->stop();
}

void TFmMain::ProcessScanMessages() {
  // Fifty times a second keeps the dialog's button and folder text alive; handling events
  // after every entry would cost more than the scan itself.
  if (FScanPump.isValid() && FScanPump.elapsed() < 20) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  FScanPump.start();
}

void TFmMain::DoAddFile() {
  const QStringList files =
      FServices.OpenFiles ? FServices.OpenFiles(this, QtNameFilters(BuildOpenFilter(FGlobal)))
                          : QStringList();
  if (files.isEmpty()) return;
  BeginAdding();
  ClearSelection();
  for (const QString& f : files) AddFile(PathFromDialogName(f));
  EndAdding();
  ScrollToCurrent();
  ShowFileCount();
  ReportLogFailure();
}

void TFmMain::DoAddDir() {
  if (FDialogs == nullptr || FScanning) return;
  if (!FDialogs->RunAddDir()) return;
  BeginAdding();
  ClearSelection();
  FFileSearch.RecurseSubFolders = FDialogs->AddDirRecursive();
  const std::u16string exts = BuildSearchExts(FGlobal.settings, FDialogs->AddDirTypeTicked(1),
                                              FDialogs->AddDirTypeTicked(2));
  FDirList = SplitScanFolders(FGlobal.settings.scanFolders);
  const int countBefore = FFileCount;

  FScanning = true;
  FScanPump.invalidate();
  ActionMainMenuBar1Paint();
  FDialogs->ShowSearchProgress([this] { FFileSearch.Stop(); });
  try {
    for (const std::u16string& dir : FDirList) {
      FFileSearch.SearchDir = dir;
      FFileSearch.SearchExts = exts;
      FFileSearch.Execute();
      if (FFileSearch.UserStopped()) break;
    }
  } catch (const std::exception& e) {
    // Whatever breaks a scan must not leave the progress dialog behind.
    if (!FLogFailed) FLogError = QString::fromLocal8Bit(e.what());
    FLogFailed = true;
  }
  FScanning = false;
  EndAdding();
  ActionMainMenuBar1Paint();
  FDialogs->CloseSearchProgress();
  ScrollToCurrent();
  ShowFileCount();
  ShowStatusMessage(tr("Done Scanning, add %1 file(s).").arg(FFileCount - countBefore));
  ReportLogFailure();
}

void TFmMain::DoFileFound(const std::u16string& fullpath, const TFindData& info) {
  AddFile(fullpath + info.Name);
}

void TFmMain::DoChangeFolder(const std::u16string& fullpath) {
  if (FDialogs) FDialogs->SetSearchFolder(Q(fullpath));
}

void TFmMain::DoSearchFinish() { ScrollToCurrent(); }

void TFmMain::DoPaste() {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  BeginAdding();
  for (const std::u16string& name : FilesFromMime(mime)) AddFile(name);
  EndAdding();
  ShowFileCount();
  ReportLogFailure();
}

void TFmMain::FileDropTarget1Drop(const std::vector<std::u16string>& items) {
  if (FConverting || FScanning) return;
  BeginAdding();
  ClearSelection();
  if (items.size() == 1 && IsDirectory(items[0])) {
    if (FDialogs) FDialogs->SetAddDirFolder(Q(items[0]));
    activateWindow();
    raise();
    RunCommand(kTagAddDir);
  } else {
    // Several items: the folders among them are left out.
    for (const std::u16string& item : items) {
      if (items.size() > 1 && IsDirectory(item)) continue;
      AddFile(item);
    }
  }
  EndAdding();
  ScrollToCurrent();
  ShowFileCount();
  activateWindow();
  raise();
  ReportLogFailure();
}

// ---- the list -------------------------------------------------------------------------------

void TFmMain::DoDelete() {
  const std::vector<bool> selected = SelectionFlags();
  FFileCount -= int(FModel->RemoveRows(selected));
  ShowFileCount();
}

void TFmMain::DoSelectAll() { ListView1->selectAll(); }

std::vector<bool> TFmMain::SelectionFlags() const {
  // Rows are selected whole (the list selects rows), so a range marks its rows.
  const int count = FModel->Count();
  std::vector<bool> flags(size_t(count), false);
  for (const QItemSelectionRange& range : ListView1->selectionModel()->selection()) {
    const int last = std::min(range.bottom(), count - 1);
    for (int row = std::max(range.top(), 0); row <= last; ++row) flags[size_t(row)] = true;
  }
  return flags;
}

std::vector<int> TFmMain::SelectedRows() const {
  const std::vector<bool> flags = SelectionFlags();
  std::vector<int> rows;
  for (size_t row = 0; row < flags.size(); ++row)
    if (flags[row]) rows.push_back(int(row));
  return rows;
}

size_t TFmMain::SelectedCount() const {
  const std::vector<bool> flags = SelectionFlags();
  return size_t(std::count(flags.begin(), flags.end(), true));
}

void TFmMain::ClearSelection() {
  FProgramSelects = true;
  ListView1->selectionModel()->clearSelection();
  FProgramSelects = false;
}

void TFmMain::SelectRows(int first, int last) {
  QItemSelectionModel* sel = ListView1->selectionModel();
  const QItemSelection rows(FModel->index(first, 0), FModel->index(last, kColumnCount - 1));
  sel->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  sel->setCurrentIndex(FModel->index(last, 0), QItemSelectionModel::NoUpdate);
}

void TFmMain::ScrollToCurrent() {
  QModelIndex index = ListView1->selectionModel()->currentIndex();
  if (!index.isValid()) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    index = FModel->index(rows.front(), 0);
  }
  ListView1->scrollTo(index);
}

void TFmMain::OpenEntryFile(bool useSource, bool launch) {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const TFileListEntry& entry = FModel->Entry(rows.front());
  const std::u16string path =
      entry.SubItem(useSource ? kSubItemSourceFile : kSubItemTargetFile);
  if (path.empty()) return;
  // With no program to open it (nothing installed for the type, no file manager), the user
  // hears of it instead of nothing happening.
  auto tell = [this](const QString& text) {
    if (FDialogs) FDialogs->ShowError(text);
  };
  if (launch) {
    if (FServices.OpenUrl && !FServices.OpenUrl(UrlOfPath(path)))
      tell(tr("No program could be started to open %1").arg(Q(path)));
    return;
  }
  if (FileExists(path) && FServices.ShowItem && FServices.ShowItem(UrlOfPath(path))) return;
  const std::u16string folder(FolderPart(path));
  if (FServices.OpenUrl && !FServices.OpenUrl(UrlOfPath(folder)))
    tell(tr("No file manager could be started to show %1").arg(Q(folder)));
}

void TFmMain::ListView1ColumnClick(int column) {
  // Sorting would move the entries under the run, or the rows a scan is adding.
  if (FConverting || FScanning) return;
  for (int c = 0; c < kColumnCount; ++c) {
    const QString caption = FModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    FModel->setHeaderData(c, Qt::Horizontal,
                          Q(StripSortMarker(caption.toStdU16String())), Qt::DisplayRole);
  }
  const bool ascending = FSort.Click(column);
  const QString caption = FModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  FModel->setHeaderData(column, Qt::Horizontal,
                        Q(MarkSortCaption(caption.toStdU16String(), ascending)), Qt::DisplayRole);
  FModel->SortByColumn(column, ascending);
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) ListView1->scrollTo(FModel->index(rows.front(), 0));
}

void TFmMain::TimerSelectItemsTimer() {
  TimerSelectItems->stop();
  ShowStatusMessage(tr("Select %1 file(s).").arg(SelectedCount()));
}

// ---- menus and enabling ---------------------------------------------------------------------

void TFmMain::ActionMainMenuBar1Paint() {
  const std::vector<bool> selected = SelectionFlags();
  std::vector<EntryFacts> facts;
  facts.reserve(selected.size());
  for (size_t row = 0; row < selected.size(); ++row)
    facts.push_back({FModel->Entry(int(row)).State, selected[row]});
  const bool clip = !FilesFromMime(QGuiApplication::clipboard()->mimeData()).empty();
  const CommandEnabling enabling = EvaluateEnabling(facts, clip);
  for (auto& [tag, action] : FActions) {
    action->setEnabled(IsCommandEnabled(enabling, tag) &&
                       !((FConverting || FScanning) && ChangesListOrConverts(tag)));
  }
}

void TFmMain::PopupMenu1Popup(const QPoint& pos) {
  if (FDialogs && (FDialogs->SearchProgressVisible() || FDialogs->ConversionProgressVisible()))
    return;
  ActionMainMenuBar1Paint();
  PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos));
}

bool TFmMain::FormKeyDown(int qtKey, Qt::KeyboardModifiers modifiers) {
  const int tag = CommandForKey(qtKey, modifiers.testFlag(Qt::ControlModifier),
                                modifiers.testFlag(Qt::AltModifier));
  if (tag == 0) return false;
  MenuItemClick(ActionOfTag(tag));
  return true;
}

// ---- status bar -----------------------------------------------------------------------------

void TFmMain::ShowStatusMessage(const QString& text) { FPanels[2]->setText(text); }

QString TFmMain::StatusPanel(int panel) const {
  return (panel >= 0 && panel < 3) ? FPanels[size_t(panel)]->text() : QString();
}

void TFmMain::ShowFileCount() {
  FPanels[1]->setText(tr("%1 File(s)").arg(FFileCount));
}

// ---- window events --------------------------------------------------------------------------

bool TFmMain::event(QEvent* e) {
  if (e->type() == QEvent::Show) FWasShown = true;
  if (e->type() == QEvent::StatusTip) {
    // The hint of the highlighted menu item or the button under the mouse goes to panel 2.
    ShowStatusMessage(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QMainWindow::event(e);
}

bool TFmMain::eventFilter(QObject* watched, QEvent* e) {
  // The bar has its new width only once the layout has run.
  if (watched == FButtonBar && e->type() == QEvent::Resize) FormResize();
  if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    // Keys typed into menus or other windows are theirs.
    if (widget->window() == this && QApplication::activePopupWidget() == nullptr) {
      auto* key = static_cast<QKeyEvent*>(e);
      if (FormKeyDown(key->key(), key->modifiers())) return true;
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void TFmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

void TFmMain::FormResize() {
  QToolButton* convert = Buttons["BtnConvert"];
  QToolButton* addFile = Buttons["BtnAddFile"];
  if (convert == nullptr || addFile == nullptr) return;
  convert->move(FButtonBar->width() - convert->width() - addFile->x() - 4, convert->y());
}

void TFmMain::FormActivate() {
  if (FDialogs && (FDialogs->SearchProgressVisible() || FDialogs->ConversionProgressVisible()))
    FDialogs->RaiseProgress();
}

void TFmMain::closeEvent(QCloseEvent* e) {
  // During a run the entry in hand is finished first; the window closes when the run ends.
  if (FConverting) {
    FCancel = true;
    FCloseAfterRun = true;
    e->ignore();
    return;
  }
  // A scan still running ends first; the list is saved when the window is destroyed.
  if (FScanning) FFileSearch.Stop();
  RememberPlacement();
  QMainWindow::closeEvent(e);
}

void TFmMain::dragEnterEvent(QDragEnterEvent* e) {
  if (FilesFromMime(e->mimeData()).empty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
}

void TFmMain::dragMoveEvent(QDragMoveEvent* e) {
  e->setDropAction(Qt::CopyAction);
  e->accept();
}

void TFmMain::dropEvent(QDropEvent* e) {
  std::vector<std::u16string> items = FilesFromMime(e->mimeData());
  if (items.empty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
  // The drag source waits for this event to return; a dialog opened by the drop comes after.
  QTimer::singleShot(0, this, [this, items = std::move(items)] { FileDropTarget1Drop(items); });
}

}  // namespace dkscr
