#include "gcode/job_refusal.h"

#include "gcode/number_text.h"

namespace quorrel {

std::optional<std::string> RefusalReason(const JobParameters& job) {
  if (job.Fill && job.ToolRadius < 0.0F) {
    return "Fill needs a Tool Radius above 0, and the Tool Radius is " +
           FormatNumberPlain(job.ToolRadius, ".") +
           ": the rings would grow outward without end. Nothing was written.";
  }
  return std::nullopt;
}

void RequireCuttable(const JobParameters& job) {
  if (auto reason = RefusalReason(job)) throw JobRefused(*reason);
}

}  // namespace quorrel
