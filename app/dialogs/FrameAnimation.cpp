#include "app/dialogs/FrameAnimation.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

namespace dkscr {

TFrameAnimation::TFrameAnimation(const QString& stripResource, int frameCount,
                                 int intervalMs, bool transparentBlack, QWidget* parent)
    : QWidget(parent) {
  QPixmap strip(stripResource);
  if (transparentBlack && !strip.isNull()) {
    strip.setMask(strip.createMaskFromColor(Qt::black, Qt::MaskInColor));
  }
  const int frameWidth = frameCount > 0 ? strip.width() / frameCount : 0;
  for (int i = 0; i < frameCount && frameWidth > 0; ++i) {
    FFrames.push_back(strip.copy(i * frameWidth, 0, frameWidth, strip.height()));
  }
  FTimer.setInterval(intervalMs);
  connect(&FTimer, &QTimer::timeout, this, [this] {
    if (FFrames.isEmpty()) return;
    FFrame = (FFrame + 1) % static_cast<int>(FFrames.size());
    update();
  });
  setFixedSize(sizeHint());
}

void TFrameAnimation::Start() {
  FFrame = 0;
  update();
  FTimer.start();
}

void TFrameAnimation::Stop() { FTimer.stop(); }

QSize TFrameAnimation::sizeHint() const {
  return FFrames.isEmpty() ? QSize(32, 32) : FFrames.front().size();
}

void TFrameAnimation::paintEvent(QPaintEvent*) {
  if (FFrames.isEmpty()) return;
  QPainter painter(this);
  painter.drawPixmap(0, 0, FFrames[FFrame]);
}

}  // namespace dkscr
