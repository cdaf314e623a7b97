#include "app/newestwork.h"

namespace quorrel::app {

NewestWork::NewestWork(QObject* parent) : QObject(parent) {
  worker_ = new QObject;
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
}

NewestWork::~NewestWork() {
  thread_.quit();
  thread_.wait();
}

void NewestWork::run(Piece piece) {
  if (busy_) {
    waiting_ = std::move(piece);
    return;
  }
  start(std::move(piece));
}

void NewestWork::start(Piece piece) {
  busy_ = true;
  QMetaObject::invokeMethod(
      worker_,
      [this, piece = std::move(piece)] {
        std::function<void()> done = piece();
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done)] {
              busy_ = false;
              done();
              if (waiting_ && !busy_) {
                Piece next = std::move(*waiting_);
                waiting_.reset();
                start(std::move(next));
              }
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

}  // namespace quorrel::app
