#pragma once

#include <QLabel>
#include <QTimer>
#include <optional>

#include "app/newestwork.h"
#include "gcode/save/program_request.h"

#include "app/previewrendering.h"

namespace quorrel::app {

/// How long the form's job runs on its machine, said under the fields while a machine is chosen:
/// estimated away from the form shortly after each change, as quorrel-gcode --estimate says it,
/// in a warning colour past 8 hours. A job that cannot be written says why instead.
class RunTimeStatus : public QLabel {
  Q_OBJECT

 public:
  explicit RunTimeStatus(QWidget* parent = nullptr);

  /// The job to time, the form's operation or a job of several; timed once the typing pauses.
  void setSubject(const PreviewSubject& subject);
  /// How many estimates have been shown, so that a test can wait for the next.
  int shownCount() const { return shownCount_; }

  /// Past this a run is long enough to plan the day around.
  static constexpr double kLongRunSeconds = 8 * 3600;

 signals:
  void shown();

 private:
  void estimate();

  NewestWork work_;
  QTimer pause_;
  std::optional<PreviewSubject> subject_;
  int shownCount_ = 0;
};

}  // namespace quorrel::app
