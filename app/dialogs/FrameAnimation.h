#pragma once
// Plays the frames of a picture strip (equal frames side by side) one after another in a
// loop: the about box's animated icon and the file-search dialog's busy indicator.

#include <QPixmap>
#include <QTimer>
#include <QVector>
#include <QWidget>

namespace dkscr {

class FrameAnimation : public QWidget {
 public:
  // frameCount frames of strip's height are cut from the strip; when transparentBlack is
  // set, black pixels are not drawn.
  FrameAnimation(const QString& stripResource, int frameCount, int intervalMs,
                  bool transparentBlack, QWidget* parent = nullptr);

  void Start();
  void Stop();
  bool IsPlaying() const { return timer_.isActive(); }
  int CurrentFrame() const { return frame_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QVector<QPixmap> frames_;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace dkscr
