#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "gcode/job/job_parameters.h"

namespace quorrel {

/// A job that no program can be written for. Raised before anything is written.
class JobRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Why the job cannot be cut, or nothing when it can. A negative Tool Radius with Fill makes the
/// rings grow outward for ever, so it is refused before a file is touched.
std::optional<std::string> RefusalReason(const JobParameters& job);

/// Raises JobRefused with RefusalReason's text when there is one.
void RequireCuttable(const JobParameters& job);

}  // namespace quorrel
