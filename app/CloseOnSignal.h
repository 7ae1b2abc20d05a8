#pragma once
// SIGTERM, SIGINT and SIGHUP (a desktop logout, kill, Ctrl+C or a closed terminal) close a
// window the ordinary way, so that everything it saves on closing is saved.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace dkscr {

class TCloseOnSignal : public QObject {
 public:
  // Installs the handlers; only one instance may exist at a time.
  explicit TCloseOnSignal(QWidget* window, QObject* parent = nullptr);
  ~TCloseOnSignal() override;
  // A signal closed the window: nobody may be there to answer a question.
  bool Fired() const { return FFired; }
  TCloseOnSignal(const TCloseOnSignal&) = delete;
  TCloseOnSignal& operator=(const TCloseOnSignal&) = delete;

 private:
  void SignalArrived();

  QPointer<QWidget> FWindow;
  QSocketNotifier* FNotifier = nullptr;
  bool FFired = false;
};

}  // namespace dkscr
