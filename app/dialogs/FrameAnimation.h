#pragma once
// Plays the frames of a picture strip (equal frames side by side) one after another in a
// loop: the about box's animated icon and the file-search dialog's busy indicator.

#include <QPixmap>
#include <QTimer>
#include <QVector>
#include <QWidget>

namespace dkscr {

class TFrameAnimation : public QWidget {
 public:
  // frameCount frames of strip's height are cut from the strip; when transparentBlack is
  // set, black pixels are not drawn.
  TFrameAnimation(const QString& stripResource, int frameCount, int intervalMs,
                  bool transparentBlack, QWidget* parent = nullptr);

  void Start();
  void Stop();
  bool IsPlaying() const { return FTimer.isActive(); }
  int CurrentFrame() const { return FFrame; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QVector<QPixmap> FFrames;
  QTimer FTimer;
  int FFrame = 0;
};

}  // namespace dkscr
