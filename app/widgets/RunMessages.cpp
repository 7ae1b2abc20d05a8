#include "app/widgets/RunMessages.h"

#include <QCoreApplication>

namespace dkscr {
namespace {

// lupdate reads the context as it is written here.
constexpr char kContext[] = "RunMessages";

QString Translated(const QString& text) {
  return QCoreApplication::translate(kContext, text.toUtf8().constData());
}

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
      QT_TRANSLATE_NOOP("RunMessages", "Converted: no text found"),
      QT_TRANSLATE_NOOP("RunMessages", "Skipped: target exists"),
      QT_TRANSLATE_NOOP("RunMessages", "Source file is encrypted (password-protected)"),
      QT_TRANSLATE_NOOP("RunMessages", "Target file name is taken by another entry"),
  };
  return texts;
}

QString ShownRunMessage(const QString& stored) {
  if (stored.isEmpty()) return stored;
  const QString whole = Translated(stored);
  if (whole != stored) return whole;
  // "text: detail": the text translated, the detail (a path, the system's reason) as it is.
  const qsizetype colon = stored.indexOf(QStringLiteral(": "));
  if (colon <= 0) return stored;
  return Translated(stored.left(colon)) + stored.mid(colon);
}

}  // namespace dkscr
