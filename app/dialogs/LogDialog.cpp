#include "app/dialogs/LogDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/session/AppState.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/LogText.h"
#include "platform/NativePath.h"

namespace dkscr {

namespace {

// Native paths; on Windows through the UTF-16 calls (the narrow ones use the ANSI code page).
#ifdef _WIN32
bool FileExists(const std::string& path) {
  struct _stat64 info {};
  return ::_wstat64(WidePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int RemoveFile(const std::string& path) { return ::_wunlink(WidePath(path).c_str()); }

std::filesystem::path FilePath(const std::string& path) { return std::filesystem::path(WidePath(path)); }
#else
bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int RemoveFile(const std::string& path) { return ::unlink(path.c_str()); }

std::filesystem::path FilePath(const std::string& path) { return std::filesystem::path(path); }
#endif

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream file(FilePath(path), std::ios::binary);
  if (!file) return false;
  char chunk[65536];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(file.gcount()));
  }
  return file.eof() && !file.bad();
}

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LogDialog::LogDialog(AppState& state, DialogServices& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services) {
  setWindowTitle(tr("Log"));
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint);
  setSizeGripEnabled(true);
  logView = new QPlainTextEdit(this);
  logView->setReadOnly(true);
  logView->setAccessibleName(tr("Activity log"));
  logView->setLineWrapMode(QPlainTextEdit::NoWrap);
  logView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  logView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette pal = logView->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  logView->setPalette(pal);

  noLogBox = new QCheckBox(tr("Not logging"), this);
  clearButton = new QPushButton(tr("Clear &Log"), this);
  exportButton = new QPushButton(tr("&Export to file"), this);
  closeButton = new QPushButton(tr("&Close"), this);
  clearButton->setAutoDefault(false);
  exportButton->setAutoDefault(false);
  closeButton->setDefault(true);

  auto* strip = new QHBoxLayout;
  strip->addWidget(noLogBox);
  strip->addStretch(1);
  strip->addWidget(clearButton);
  strip->addWidget(exportButton);
  strip->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(logView, 1);
  layout->addLayout(strip);
  resize(454, 313);

  noLogBox->setChecked(state_.settings.noLog);
  connect(noLogBox, &QCheckBox::toggled, this,
          [this](bool ticked) { state_.settings.noLog = ticked; });
  connect(clearButton, &QPushButton::clicked, this, [this] { ClearLog(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { ExportLog(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LogDialog::LoadLog() {
  logView->clear();
  clearButton->setEnabled(false);
  exportButton->setEnabled(false);
  const std::string path = PathToNative(state_.LogFilePath());
  if (FileExists(path)) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
      ShowGeneralError(services_, this, tr("Unable to read %1").arg(Q(state_.LogFilePath())));
      return;
    }
    QStringList lines;
    for (const std::u16string& line : LogBytesToLines(bytes)) lines << Q(line);
    logView->setPlainText(lines.join(QLatin1Char('\n')));
  }
  const bool any = !logView->toPlainText().isEmpty();
  clearButton->setEnabled(any);
  exportButton->setEnabled(any);
  // Caret at the end, so the newest entries are in view.
  logView->moveCursor(QTextCursor::End);
  logView->verticalScrollBar()->setValue(logView->verticalScrollBar()->maximum());
  logView->horizontalScrollBar()->setValue(0);  // the time stamps stay in view
}

void LogDialog::ClearLog() {
  const std::string path = PathToNative(state_.LogFilePath());
  if (FileExists(path) && RemoveFile(path) != 0) {
    ShowGeneralError(services_, this, tr("Unable to delete %1: %2")
                               .arg(Q(state_.LogFilePath()),
                                    QString::fromLocal8Bit(std::strerror(errno))));
  }
  LoadLog();
}

void LogDialog::ExportLog() {
  const QString fileName =
      services_.ChooseSaveFile(this, tr(kLogExportFilter), QStringLiteral("log"));
  if (fileName.isEmpty()) return;
  std::vector<std::u16string> lines;
  for (const QString& line : logView->toPlainText().split(QLatin1Char('\n')))
    lines.push_back(line.toStdU16String());
  const std::string bytes = LinesToUtf16File(lines);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    ShowGeneralError(services_, this, tr("Unable to write to %1: %2")
                               .arg(fileName, file.errorString()));
  }
}

}  // namespace dkscr
