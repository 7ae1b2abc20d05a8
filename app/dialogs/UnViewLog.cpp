#include "app/dialogs/UnViewLog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/session/AppState.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/LogText.h"
#include "core/NativePath.h"

namespace dkscr {

namespace {

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
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

TFmViewLog::TFmViewLog(AppState& global, QWidget* parent) : QDialog(parent), FGlobal(global) {
  setWindowTitle(tr("Log"));
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint);
  setSizeGripEnabled(true);
  MemoLog = new QPlainTextEdit(this);
  MemoLog->setReadOnly(true);
  MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette pal = MemoLog->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  MemoLog->setPalette(pal);

  CBNotLog = new QCheckBox(tr("Not logging"), this);
  BtnClear = new QPushButton(tr("Clear &Log"), this);
  BtnExport = new QPushButton(tr("&Export to file"), this);
  BtnCancel = new QPushButton(tr("&Close"), this);
  BtnClear->setAutoDefault(false);
  BtnExport->setAutoDefault(false);
  BtnCancel->setDefault(true);

  auto* strip = new QHBoxLayout;
  strip->addWidget(CBNotLog);
  strip->addStretch(1);
  strip->addWidget(BtnClear);
  strip->addWidget(BtnExport);
  strip->addWidget(BtnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoLog, 1);
  layout->addLayout(strip);
  resize(454, 313);

  CBNotLog->setChecked(FGlobal.settings.noLog);
  connect(CBNotLog, &QCheckBox::toggled, this,
          [this](bool ticked) { FGlobal.settings.noLog = ticked; });
  connect(BtnClear, &QPushButton::clicked, this, [this] { BtnClearClick(); });
  connect(BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFmViewLog::LoadLog() {
  MemoLog->clear();
  BtnClear->setEnabled(false);
  BtnExport->setEnabled(false);
  const std::string path = PathToNative(FGlobal.LogFilePath());
  if (FileExists(path)) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
      ShowGeneralError(this, tr("Unable to read %1").arg(Q(FGlobal.LogFilePath())));
      return;
    }
    QStringList lines;
    for (const std::u16string& line : LogBytesToLines(bytes)) lines << Q(line);
    MemoLog->setPlainText(lines.join(QLatin1Char('\n')));
  }
  const bool any = !MemoLog->toPlainText().isEmpty();
  BtnClear->setEnabled(any);
  BtnExport->setEnabled(any);
  // Caret at the end, so the newest entries are in view.
  MemoLog->moveCursor(QTextCursor::End);
  MemoLog->verticalScrollBar()->setValue(MemoLog->verticalScrollBar()->maximum());
  MemoLog->horizontalScrollBar()->setValue(0);  // the time stamps stay in view
}

void TFmViewLog::BtnClearClick() {
  const std::string path = PathToNative(FGlobal.LogFilePath());
  if (FileExists(path) && ::unlink(path.c_str()) != 0) {
    ShowGeneralError(this, tr("Unable to delete %1: %2")
                               .arg(Q(FGlobal.LogFilePath()),
                                    QString::fromLocal8Bit(std::strerror(errno))));
  }
  LoadLog();
}

void TFmViewLog::BtnExportClick() {
  const QString fileName =
      RunSaveDialog(this, QString::fromLatin1(kLogExportFilter), QStringLiteral("log"));
  if (fileName.isEmpty()) return;
  std::vector<std::u16string> lines;
  for (const QString& line : MemoLog->toPlainText().split(QLatin1Char('\n')))
    lines.push_back(line.toStdU16String());
  const std::string bytes = LinesToUtf16File(lines);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    ShowGeneralError(this, tr("Unable to write to %1: %2")
                               .arg(fileName, file.errorString()));
  }
}

}  // namespace dkscr
