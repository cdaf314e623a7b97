#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gcode/jobs/job_file.h"

namespace quorrel {

/// One operation of a job as the window keeps it: its shape, Fill, field texts and side (the
/// request's machine settings are not kept), the machine it was added with (empty for the job's
/// own), its tool, and the settings of its own that a job file gave it.
struct JobRow {
  SaveRequest request;
  std::string machine;
  int tool = 1;
  std::vector<std::pair<Setting, std::string>> settings;

  bool operator==(const JobRow&) const = default;
};

/// A job as the window makes it and keeps it in a job file: its machine (one of the machines
/// file's, by name; empty where the settings beside it give the controller), those settings, and
/// its operations in cutting order.
struct JobDocument {
  std::string machine;
  std::vector<std::pair<Setting, std::string>> settings;
  std::vector<JobRow> rows;

  bool operator==(const JobDocument&) const = default;
};

/// The document of a job read from its file.
JobDocument DocumentOf(const Job& job);

/// The text of the job file that holds the document, for the machines `machines`: its machine
/// and settings at the top, and in each operation's table its fields, Fill, side and tool, its
/// own settings, and where it was added with another machine, the settings of that machine that
/// differ from the job's and that the operation takes. Nothing where an operation's machine is
/// for another controller or unit, which one job cannot be, or is not in the machines file;
/// `why` then says so.
std::optional<std::string> JobDocumentText(const JobDocument& document,
                                           const std::vector<Machine>& machines, std::string& why);

/// The job of a document, as its file reads: what `quorrel-gcode --job` writes for the file
/// named `name` holding it, the window writes for the document. Or what is wrong.
std::variant<Job, std::string> JobOfDocument(const JobDocument& document, const std::string& name,
                                             const JobMachineSources& sources);

}  // namespace quorrel
