#pragma once
// SIGTERM, SIGINT and SIGHUP (a desktop logout, kill, Ctrl+C or a closed terminal) close a
// window the ordinary way, so that everything it saves on closing is saved.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace dkscr {

class CloseOnSignal : public QObject {
 public:
  // Installs the handlers; only one instance may exist at a time.
  explicit CloseOnSignal(QWidget* window, QObject* parent = nullptr);
  ~CloseOnSignal() override;
  // A signal closed the window: nobody may be there to answer a question.
  bool Fired() const { return fired_; }
  CloseOnSignal(const CloseOnSignal&) = delete;
  CloseOnSignal& operator=(const CloseOnSignal&) = delete;

 private:
  void SignalArrived();

  QPointer<QWidget> window_;
  QSocketNotifier* notifier_ = nullptr;
  bool fired_ = false;
};

}  // namespace dkscr
