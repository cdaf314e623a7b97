#include "gcode/job/job_refusal.h"

#include <charconv>

namespace quorrel {

namespace {

// The Tool Radius as the machinist knows it: the shortest text of the rounded 32-bit value, so
// that a typed -0.1 reads "-0.1" and not its binary neighbour's seventeen digits.
std::string ShortestText(float value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::optional<std::string> RefusalReason(const JobParameters& job) {
  if (job.Fill && job.ToolRadius < 0.0F) {
    return "Fill needs a Tool Radius above 0, and the Tool Radius is " +
           ShortestText(job.ToolRadius) + ": the rings would grow outward without end.";
  }
  return std::nullopt;
}

void RequireCuttable(const JobParameters& job) {
  if (auto reason = RefusalReason(job)) throw JobRefused(*reason);
}

}  // namespace quorrel
