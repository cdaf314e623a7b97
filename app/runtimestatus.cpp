#include "app/runtimestatus.h"

#include "app/utf8.h"
#include "gcode/estimate/run_time.h"
#include "gcode/job/job_refusal.h"
#include "gcode/save/job_preview.h"
#include "gcode/save/save_command.h"

namespace quorrel::app {
namespace {

constexpr int kPauseMs = 30;

// What is said of the job: its run time, or why it has none.
struct Said {
  QString text;
  bool long_ = false;
};

Said Estimate(const SaveRequest& request) {
  CheckedJob job;
  if (auto refused = CheckJob(request, job)) return {FromUtf8(refused->message)};
  try {
    const MotionTime time = EstimateJobRunTime(request, job);
    return {FromUtf8(RunTimeText(time)), time.total() > RunTimeStatus::kLongRunSeconds};
  } catch (const std::runtime_error& error) {  // a refusal or a fault the check could not see
    return {FromUtf8(error.what())};
  }
}

}  // namespace

RunTimeStatus::RunTimeStatus(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("runTime"));
  setTextInteractionFlags(Qt::TextSelectableByMouse);
  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, &RunTimeStatus::estimate);
}

void RunTimeStatus::setRequest(const SaveRequest& request) {
  if (request_ == request) return;
  request_ = request;
  pause_.start();
}

void RunTimeStatus::estimate() {
  if (!request_) return;
  work_.run([this, request = *request_]() -> std::function<void()> {
    return [this, said = Estimate(request)] {
      setText(said.text);
      setToolTip(said.long_ ? QStringLiteral("A run of more than 8 hours.") : QString());
      setStyleSheet(said.long_ ? QStringLiteral("color: #b00000; font-weight: bold") : QString());
      ++shownCount_;
      emit shown();
    };
  });
}

}  // namespace quorrel::app
