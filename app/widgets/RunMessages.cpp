#include "app/widgets/RunMessages.h"

#include <QCoreApplication>

namespace dkscr {
namespace {

// lupdate reads the context as it is written here.
constexpr char kContext[] = "RunMessages";

}  // namespace

const std::vector<const char*>& RunMessageTexts() {
  // The result-code table's windowed texts, then the run's own.
  static const std::vector<const char*> texts = {
      QT_TRANSLATE_NOOP("RunMessages", "Convert successfully"),
      QT_TRANSLATE_NOOP("RunMessages", "Load file filter dll error"),
      QT_TRANSLATE_NOOP("RunMessages", "Source file does not exist"),
      QT_TRANSLATE_NOOP("RunMessages", "File type not support"),
      QT_TRANSLATE_NOOP("RunMessages", "Source file open error"),
      QT_TRANSLATE_NOOP("RunMessages", "File format not correct"),
      QT_TRANSLATE_NOOP("RunMessages", "Target file create error"),
      QT_TRANSLATE_NOOP("RunMessages", "Target file write error"),
      QT_TRANSLATE_NOOP("RunMessages", "Extracting text from source file not allowed"),
      QT_TRANSLATE_NOOP("RunMessages", "Convert canceled"),
      QT_TRANSLATE_NOOP("RunMessages", "Target file already exists, user canceled"),
  };
  return texts;
}

QString ShownRunMessage(const QString& stored) {
  if (stored.isEmpty()) return stored;
  return QCoreApplication::translate(kContext, stored.toUtf8().constData());
}

}  // namespace dkscr
