#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "gcode/job/field_texts.h"
#include "gcode/job/machine_settings.h"
#include "gcode/job/shape_kind.h"
#include "gcode/strategy/cutting_strategy.h"
#include "gcode/strategy/ramp_entry.h"
#include "gcode/toolpath/toolpath_sink.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {

/// Everything a program is made from, as the window or the command line hands it over.
struct SaveRequest {
  FieldTexts texts;
  ShapeKind shape = ShapeKind::Rectangle;
  bool fill = false;
  std::string decimalSeparator = ".";  ///< the user's locale's, for the rounded-corner radius
  /// How a controller's program cuts the job; the window's own program cuts as the default does.
  CuttingStrategy strategy;
  /// The controller the program is for; Dialect::Din, the default, for the window's own program.
  MachineSettings machine;

  bool operator==(const SaveRequest&) const = default;
};

/// Who else sees a program while it is written.
struct ProgramObservers {
  /// Hears of a path too short to ramp along.
  ProgramNotice notice;
  /// See every move the program is written from (a preview, an estimate), in the machine's unit.
  Onlookers moves;
  /// Hears, in a job of several operations, that the operation of `index` (from 0) starts, cut
  /// with `settings` (in the machine's unit), where `tool` is given after a change to that tool.
  std::function<void(std::size_t index, const MachineSettings& settings, std::optional<int> tool)>
      operationStarts;
};

}  // namespace quorrel
