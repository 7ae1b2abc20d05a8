#include "app/session/WorkerThread.h"

#include <QMetaObject>
#include <QSemaphore>
#include <utility>

namespace dkscr {

WorkerThread::WorkerThread() : context_(new QObject) {
  thread_.setObjectName(QStringLiteral("Deckscribe worker"));
  context_->moveToThread(&thread_);
  thread_.start();
}

WorkerThread::~WorkerThread() {
  thread_.quit();
  thread_.wait();
  delete context_;  // its thread has ended: calls still queued for it go with it
}

void WorkerThread::Post(std::function<void()> work) { PostTo(context_, std::move(work)); }

void WorkerThread::Drain() {
  QSemaphore done;
  Post([&done] { done.release(); });
  done.acquire();
}

void PostTo(QObject* context, std::function<void()> call) {
  QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

}  // namespace dkscr
