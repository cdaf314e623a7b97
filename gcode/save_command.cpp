#include "gcode/save_command.h"

#include "gcode/arithmetic_fault.h"
#include "gcode/job_parameters.h"
#include "gcode/job_refusal.h"
#include "gcode/output_error.h"
#include "gcode/write_program.h"

namespace quorrel {
namespace {

SaveResult Failure(SaveOutcome outcome, std::string message) {
  return {outcome, std::move(message)};
}

std::string FaultMessage(const ArithmeticFault& fault) {
  return std::string(FaultName(fault.kind())) + ": " + fault.what();
}

}  // namespace

SaveResult SaveGCode(const SaveRequest& request, const ShowSaveDialog& askPath,
                     const OpenProgramWriter& open) {
  JobParameters job;
  try {
    job = MakeJobParameters(request.texts, request.shape, request.fill);
  } catch (const ArithmeticFault& fault) {
    return Failure(SaveOutcome::ArithmeticFault, FaultMessage(fault) + " Nothing was written.");
  }
  if (auto reason = RefusalReason(job)) return Failure(SaveOutcome::Refused, *reason);

  const std::string path = askPath(kProgramFileFilter, kProposedFileName);
  if (path.empty()) return {SaveOutcome::Cancelled, {}};

  try {
    ProgramWriter writer = open(path);
    try {
      WriteProgram(job, request.texts, writer, request.decimalSeparator);
    } catch (const ArithmeticFault& fault) {
      writer.Close();  // the lines before the fault belong in the file
      return Failure(SaveOutcome::ArithmeticFault,
                     FaultMessage(fault) + " The save was stopped; the file \"" + path +
                         "\" holds only the lines written before the fault.");
    }
  } catch (const OutputError& error) {
    return Failure(SaveOutcome::CannotWrite, error.what());
  } catch (const JobRefused& refused) {
    return Failure(SaveOutcome::Refused, refused.what());
  }
  return {SaveOutcome::Written, {}};
}

}  // namespace quorrel
