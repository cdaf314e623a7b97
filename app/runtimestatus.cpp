#include "app/runtimestatus.h"

#include "app/utf8.h"
#include "gcode/estimate/run_time.h"
#include "gcode/job/job_refusal.h"
#include "gcode/jobs/job_program.h"
#include "gcode/jobs/operations_recording.h"
#include "gcode/numbers/arithmetic_fault.h"
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

Said Told(const MotionTime& time) {
  return {FromUtf8(RunTimeText(time)), time.total() > RunTimeStatus::kLongRunSeconds};
}

Said Estimate(const PreviewSubject& subject) {
  try {
    if (const Job* several = std::get_if<Job>(&subject)) {
      std::vector<CheckedJob> checked;
      if (auto refused = CheckOperations(*several, checked)) return {FromUtf8(refused->message)};
      OperationsRecording timing(*several, false);
      try {
        timing.Make(checked);
      } catch (const ArithmeticFault& fault) {
        return {FromUtf8(FaultMessage(fault))};
      }
      return Told(timing.RunTime());
    }
    const SaveRequest& request = std::get<SaveRequest>(subject);
    CheckedJob job;
    if (auto refused = CheckJob(request, job)) return {FromUtf8(refused->message)};
    return Told(EstimateJobRunTime(request, job));
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

void RunTimeStatus::setSubject(const PreviewSubject& subject) {
  if (subject_ == subject) return;
  subject_ = subject;
  pause_.start();
}

void RunTimeStatus::estimate() {
  if (!subject_) return;
  work_.run([this, subject = *subject_]() -> std::function<void()> {
    return [this, said = Estimate(subject)] {
      setText(said.text);
      setToolTip(said.long_ ? QStringLiteral("A run of more than 8 hours.") : QString());
      setStyleSheet(said.long_ ? QStringLiteral("color: #b00000; font-weight: bold") : QString());
      ++shownCount_;
      emit shown();
    };
  });
}

}  // namespace quorrel::app
