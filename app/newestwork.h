#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <optional>

namespace quorrel::app {

/// Runs work away from the window's thread, one piece at a time, so that the window never waits:
/// work asked for while another piece runs waits, and only the newest of what waits runs. What a
/// piece returns is done on the window's thread once it has run.
class NewestWork : public QObject {
 public:
  /// A piece of work: it runs on the work's thread and returns what to do with its result.
  using Piece = std::function<std::function<void()>()>;

  explicit NewestWork(QObject* parent = nullptr);
  /// The piece that runs is finished first: nothing of it may outlive its owner.
  ~NewestWork() override;

  void run(Piece piece);
  /// A piece runs now.
  bool busy() const { return busy_; }
  /// A piece waits to run after the one that runs.
  bool waiting() const { return waiting_.has_value(); }

 private:
  void start(Piece piece);

  QThread thread_;
  QObject* worker_ = nullptr;  // lives on thread_: what it is asked to do runs there
  bool busy_ = false;
  std::optional<Piece> waiting_;
};

}  // namespace quorrel::app
