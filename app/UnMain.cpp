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
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "app/AppImages.h"
#include "app/ClipboardFiles.h"
#include "app/FileAdding.h"
#include "app/FileNames.h"
#include "app/FileProbe.h"
#include "app/MainDialogs.h"
#include "app/MainRunHost.h"
#include "app/SavedFileList.h"

namespace dkscr {

namespace {
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 22;
constexpr int kButtonBarHeight = 34;
constexpr int kButtonLeft = 8;
constexpr int kButtonGap = 4;
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

QUrl UrlOfPath(const std::u16string& path) { return QUrl::fromLocalFile(Q(path)); }
}  // namespace

TFmMain::TFmMain(TGlobal& global, QWidget* parent) : QMainWindow(parent), FGlobal(global) {
  FServices.OpenFiles = RunOpenDialog;
  FServices.OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  FServices.ShowItem = ShowItemInFileManager;
  FormCreate();
}

TFmMain::~TFmMain() { FormDestroy(); }

void TFmMain::FormCreate() {
  setObjectName(QStringLiteral("FmMain"));
  setWindowTitle(QStringLiteral("Kel-Deckscribe"));
  setWindowIcon(MakeProgramIcon());
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(8);
  setFont(font);
  resize(580, 430);

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
  FButtonBar->setFixedHeight(kButtonBarHeight);
  BuildButtonBar(FButtonBar);
  layout->addWidget(FButtonBar);
  setCentralWidget(central);
  BuildStatusBar();
  SetActionHints();

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
  ShowFileCount();

  FFileSearch.OnFileFind = [this](const std::u16string& path, const TFindData& info) {
    DoFileFound(path, info);
  };
  FFileSearch.OnChangeFolder = [this](const std::u16string& path) { DoChangeFolder(path); };
  FFileSearch.OnFinish = [this](TKelFileSearch&) { DoSearchFinish(); };
  FFileSearch.ProcessMessages = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
}

void TFmMain::FormDestroy() {
  qApp->removeEventFilter(this);
  FOutBuffer.Free();
  setAcceptDrops(false);
  // A folder that cannot be written loses the list, not the program's orderly end.
  SaveFileList(FModel->List(), FGlobal.JobFilePath());
  FDirList.clear();
}

// ---- building the window ------------------------------------------------------------------

void TFmMain::BuildActions() {
  for (const CommandInfo& c : CommandTable()) {
    auto* action = new QAction(QString::fromLatin1(c.caption), this);
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
    QMenu* menu = MainMenu1->addMenu(QString::fromLatin1(caption));
    FTopMenus[size_t(index)] = menu;
    connect(menu, &QMenu::aboutToShow, this, &TFmMain::ActionMainMenuBar1Paint);
    return menu;
  };
  auto sub = [this](QMenu* menu, const char* caption, int tag, int source, int target) {
    QMenu* s = menu->addMenu(QString::fromLatin1(caption));
    s->menuAction()->setProperty(kTagProperty, tag);
    s->addAction(ActionOfTag(source));
    s->addAction(ActionOfTag(target));
  };

  QMenu* file = top("&File ", 0);
  file->addAction(ActionOfTag(kTagOptions));
  file->addSeparator();
  file->addAction(ActionOfTag(kTagViewLog));
  file->addSeparator();
  file->addAction(ActionOfTag(kTagExit));

  QMenu* edit = top("&Edit ", 1);
  edit->addAction(ActionOfTag(kTagAddFile));
  edit->addAction(ActionOfTag(kTagAddDir));
  edit->addAction(ActionOfTag(kTagPasteFile));
  edit->addSeparator();
  edit->addAction(ActionOfTag(kTagDelete));
  edit->addAction(ActionOfTag(kTagSelectAll));

  QMenu* convert = top("Con&vert ", 2);
  convert->addAction(ActionOfTag(kTagConvertAll));
  convert->addAction(ActionOfTag(kTagConvertSelect));
  convert->addAction(ActionOfTag(kTagReConvert));
  convert->addSeparator();
  sub(convert, "&Launch", kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(convert, "&Explore", kTagExploreMenu, kTagExploreSource, kTagExploreTarget);

  QMenu* help = top("&Help ", 3);
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
  sub(PopupMenu1, "Launch", kTagLaunchMenu, kTagLaunchSource, kTagLaunchTarget);
  sub(PopupMenu1, "Explore", kTagExploreMenu, kTagExploreSource, kTagExploreTarget);
}

void TFmMain::BuildButtonBar(QWidget* bar) {
  int left = kButtonLeft;
  for (const ButtonInfo& b : ButtonTable()) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setText(QString::fromLatin1(b.caption));
    button->setIcon(FImageMenu[size_t(b.image)]);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setProperty(kTagProperty, b.tag);
    // 65 pixels unless the font in use needs more for the caption.
    const int width = std::max(kButtonWidth, button->sizeHint().width());
    button->setFixedSize(width, kButtonHeight);
    button->move(left, (kButtonBarHeight - kButtonHeight) / 2);
    left += width + kButtonGap;
    connect(button, &QToolButton::clicked, this, [this, button] { MenuItemClick(button); });
    Buttons[b.name] = button;
  }
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
  ListView1->verticalHeader()->setDefaultSectionSize(19);
  ListView1->horizontalHeader()->setHighlightSections(false);
  ListView1->horizontalHeader()->setSectionsClickable(true);
  ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const int widths[kColumnCount] = {40, 100, 300, 62, 40, 300, 300};
  for (int c = 0; c < kColumnCount; ++c) ListView1->setColumnWidth(c, widths[c]);
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
  connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { TimerSelectItems->start(); });
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
  FPanels[0]->setText(QStringLiteral("Kel-Deckscribe 3.0"));
  FPanels[1]->setText(QStringLiteral("0 File(s)"));
}

void TFmMain::SetActionHints() {
  for (const CommandInfo& c : CommandTable()) {
    QAction* action = ActionOfTag(c.tag);
    action->setStatusTip(QString::fromLatin1(c.hint));
    action->setToolTip(QString::fromLatin1(c.hint));
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
  if (FConverting && ChangesListOrConverts(tag)) return;
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
      FConverters.empty() ? StandardConverters(SlideModeOfTextForm(FGlobal.Settings.textform)) : FConverters;
  RunConversion(mode, host, FOutBuffer, converters);
  FConverting = false;
  ActionMainMenuBar1Paint();
  if (FCloseAfterRun) {
    FCloseAfterRun = false;
    close();
  }
}

// ---- adding files ---------------------------------------------------------------------------

std::u16string TFmMain::TargetFileName(std::u16string_view source) const {
  return dkscr::TargetFileName(source, FGlobal.Settings);
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
  const QString text = QStringLiteral("Unable to write to the activity log %1\n%2")
                           .arg(Q(FGlobal.LogFilePath()), FLogError);
  if (FDialogs) FDialogs->ShowError(text);
}

void TFmMain::AddFile(const std::u16string& path) {
  const QString qpath = Q(path);
  if (FModel->ContainsSource(path)) {
    ShowStatusMessage(QStringLiteral("File [") + qpath + QStringLiteral("] already added!"));
    Log(u"Add file failed: already added (" + path + u")");
    return;
  }
  const int type = FGlobal.FileTypeOfExtension(ExtensionOf(path));
  if (type == 0) {
    ShowStatusMessage(QStringLiteral("File [") + qpath + QStringLiteral("] type not support!"));
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
  SelectRow(FModel->Count() - 1);
  ++FFileCount;
}

void TFmMain::DoAddFile() {
  const QStringList files =
      FServices.OpenFiles ? FServices.OpenFiles(this, QtNameFilters(BuildOpenFilter(FGlobal)))
                          : QStringList();
  if (files.isEmpty()) return;
  ClearSelection();
  for (const QString& f : files) AddFile(f.toStdU16String());
  ScrollToCurrent();
  ShowFileCount();
  ReportLogFailure();
}

void TFmMain::DoAddDir() {
  if (FDialogs == nullptr || FScanning) return;
  if (!FDialogs->RunAddDir()) return;
  ClearSelection();
  FFileSearch.RecurseSubFolders = FDialogs->AddDirRecursive();
  const std::u16string exts = BuildSearchExts(FGlobal.Settings, FDialogs->AddDirTypeTicked(1),
                                              FDialogs->AddDirTypeTicked(2));
  FDirList = SplitScanFolders(FGlobal.Settings.adddir);
  const int countBefore = FFileCount;

  FScanning = true;
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
  FDialogs->CloseSearchProgress();
  ScrollToCurrent();
  ShowFileCount();
  ShowStatusMessage(QStringLiteral("Done Scanning, add %1 file(s).").arg(FFileCount - countBefore));
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
  for (const std::u16string& name : FilesFromMime(mime)) AddFile(name);
  ShowFileCount();
  ReportLogFailure();
}

void TFmMain::FileDropTarget1Drop(const std::vector<std::u16string>& items) {
  if (FConverting) return;
  ClearSelection();
  if (items.size() == 1) {
    if (IsDirectory(items[0])) {
      if (FDialogs) FDialogs->SetAddDirFolder(Q(items[0]));
      activateWindow();
      raise();
      RunCommand(kTagAddDir);
    } else {
      AddFile(items[0]);
      ScrollToCurrent();
    }
  } else {
    for (const std::u16string& item : items) {
      if (IsDirectory(item)) continue;
      AddFile(item);
      ScrollToCurrent();
    }
  }
  ShowFileCount();
  activateWindow();
  raise();
  ReportLogFailure();
}

// ---- the list -------------------------------------------------------------------------------

void TFmMain::DoDelete() {
  QItemSelectionModel* sel = ListView1->selectionModel();
  for (int row = FModel->Count() - 1; row >= 0; --row) {
    if (!sel->isRowSelected(row, QModelIndex())) continue;
    FModel->RemoveRow(row);
    --FFileCount;
  }
  ShowFileCount();
}

void TFmMain::DoSelectAll() { ListView1->selectAll(); }

std::vector<int> TFmMain::SelectedRows() const {
  std::vector<int> rows;
  const QItemSelectionModel* sel = ListView1->selectionModel();
  for (int row = 0; row < FModel->Count(); ++row)
    if (sel->isRowSelected(row, QModelIndex())) rows.push_back(row);
  return rows;
}

void TFmMain::ClearSelection() { ListView1->selectionModel()->clearSelection(); }

void TFmMain::SelectRow(int row) {
  const QModelIndex index = FModel->index(row, 0);
  QItemSelectionModel* sel = ListView1->selectionModel();
  sel->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
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
  if (launch) {
    if (FServices.OpenUrl) FServices.OpenUrl(UrlOfPath(path));
    return;
  }
  if (FileExists(path) && FServices.ShowItem && FServices.ShowItem(UrlOfPath(path))) return;
  if (FServices.OpenUrl) FServices.OpenUrl(UrlOfPath(std::u16string(FolderPart(path))));
}

void TFmMain::ListView1ColumnClick(int column) {
  if (FConverting) return;  // sorting would move the entries under the run
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
  ShowStatusMessage(QStringLiteral("Select %1 file(s).").arg(SelectedRows().size()));
}

// ---- menus and enabling ---------------------------------------------------------------------

void TFmMain::ActionMainMenuBar1Paint() {
  std::vector<EntryFacts> facts;
  facts.reserve(size_t(FModel->Count()));
  const QItemSelectionModel* sel = ListView1->selectionModel();
  for (int row = 0; row < FModel->Count(); ++row)
    facts.push_back({FModel->Entry(row).State, sel->isRowSelected(row, QModelIndex())});
  const bool clip = !FilesFromMime(QGuiApplication::clipboard()->mimeData()).empty();
  const CommandEnabling enabling = EvaluateEnabling(facts, clip);
  for (auto& [tag, action] : FActions) {
    action->setEnabled(IsCommandEnabled(enabling, tag) &&
                       !(FConverting && ChangesListOrConverts(tag)));
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
  FPanels[1]->setText(QStringLiteral("%1 File(s)").arg(FFileCount));
}

// ---- window events --------------------------------------------------------------------------

bool TFmMain::event(QEvent* e) {
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
