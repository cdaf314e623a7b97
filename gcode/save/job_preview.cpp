#include "gcode/save/job_preview.h"

#include <string_view>

#include "gcode/job/job_refusal.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/output/byte_sink.h"
#include "gcode/save/save_command.h"
#include "gcode/save/write_job.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {
namespace {

// A preview writes nothing, so what a save adds about the file it was aimed at is left out.
JobPreview Unwritable(std::string message) {
  constexpr std::string_view kNothingWritten = " Nothing was written.";
  if (message.ends_with(kNothingWritten)) message.resize(message.size() - kNothingWritten.size());
  return {{}, std::move(message)};
}

}  // namespace

PreviewContext PreviewContextOf(const SaveRequest& request, const JobParameters& job) {
  return {job, static_cast<double>(job.ToolRadius), request.strategy.outside};
}

JobPreview DrawJobPreview(const SaveRequest& request) {
  JobParameters job;
  if (auto refused = CheckJob(request, job)) return Unwritable(refused->message);
  ToolpathRecording moves;
  ProgramObservers observers;
  observers.notice = [](const std::string&) {};  // a ramp that becomes a plunge is drawn as one
  observers.moves = &moves;
  try {
    WriteJobProgram(request, job, std::make_unique<DiscardingSink>(), observers);
  } catch (const ArithmeticFault& fault) {
    return Unwritable(FaultMessage(fault, request.texts));
  } catch (const JobRefused& refused) {
    return Unwritable(refused.what());
  }
  return {DrawToolpathSvg(moves, PreviewContextOf(request, job)), {}};
}

}  // namespace quorrel
