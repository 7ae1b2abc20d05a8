#include "app/dialogs/FrameAnimation.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

namespace dkscr {

FrameAnimation::FrameAnimation(const QString& stripResource, int frameCount,
                                 int intervalMs, bool transparentBlack, QWidget* parent)
    : QWidget(parent) {
  QPixmap strip(stripResource);
  if (transparentBlack && !strip.isNull()) {
    strip.setMask(strip.createMaskFromColor(Qt::black, Qt::MaskInColor));
  }
  const int frameWidth = frameCount > 0 ? strip.width() / frameCount : 0;
  for (int i = 0; i < frameCount && frameWidth > 0; ++i) {
    frames_.push_back(strip.copy(i * frameWidth, 0, frameWidth, strip.height()));
  }
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (frames_.isEmpty()) return;
    frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
    update();
  });
  setFixedSize(sizeHint());
}

void FrameAnimation::Start() {
  frame_ = 0;
  update();
  timer_.start();
}

void FrameAnimation::Stop() { timer_.stop(); }

QSize FrameAnimation::sizeHint() const {
  return frames_.isEmpty() ? QSize(32, 32) : frames_.front().size();
}

void FrameAnimation::paintEvent(QPaintEvent*) {
  if (frames_.isEmpty()) return;
  QPainter painter(this);
  painter.drawPixmap(0, 0, frames_[frame_]);
}

}  // namespace dkscr
