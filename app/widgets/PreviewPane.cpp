#include "app/widgets/PreviewPane.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <cstring>

#include "app/session/Entry.h"
#include "app/session/TargetPreview.h"

namespace dkscr {
namespace {
// Enough to read a deck's beginning; a preview never holds a whole corpus in the window.
constexpr size_t kPreviewBytes = 256 * 1024;
}  // namespace

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewPane"));
  caption_ = new QLabel(this);
  caption_->setTextFormat(Qt::PlainText);
  caption_->setMinimumWidth(1);  // a long path must not widen the window
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("PreviewText"));
  text_->setReadOnly(true);
  text_->setAccessibleName(tr("Text of the selected entry"));
  caption_->setBuddy(text_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->setSpacing(2);
  layout->addWidget(caption_);
  layout->addWidget(text_, 1);
  ShowEntry(nullptr, 0);
}

QString PreviewPane::Text() const { return text_->toPlainText(); }
QString PreviewPane::Caption() const { return caption_->text(); }

void PreviewPane::ShowEntry(const Entry* entry, int32_t codePage) {
  text_->clear();
  if (entry == nullptr) {
    caption_->setText(tr("Select an entry to see its text here."));
    return;
  }
  if (entry->state != EntryState::kConverted) {
    caption_->setText(tr("The text appears here once the entry has been converted."));
    return;
  }
  const QString target = QString::fromStdU16String(entry->target);
  const TargetPreview preview = ReadTargetPreview(entry->target, codePage, kPreviewBytes);
  if (preview.error != 0) {
    caption_->setText(tr("%1 cannot be read: %2")
                          .arg(target, QString::fromLocal8Bit(std::strerror(preview.error))));
    return;
  }
  // When it was written, in the user's own way of writing dates.
  const QString written = QLocale().toString(QFileInfo(target).lastModified(), QLocale::ShortFormat);
  caption_->setText((preview.truncated ? tr("%1 (its beginning), written %2") : tr("%1, written %2"))
                        .arg(target, written));
  text_->setPlainText(QString::fromStdU16String(preview.text));
}

}  // namespace dkscr
