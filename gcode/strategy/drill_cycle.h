#pragma once

#include "gcode/job/machine_settings.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// How far above the bottom drilled so far a peck's rapid comes back down (G83), and how far a
/// chip-breaking peck retracts (G73): LinuxCNC's 0.010 inch, 0.254 mm.
double PeckClearance(Units units);

/// The moves a drilling cycle makes, as LinuxCNC runs G81, G82, G83 and G73 with G98 and as GRBL,
/// which has no cycles, is given them: from where the tool stands, a rapid across to the hole at
/// that height, a rapid down to the cycle's retract height (R), then the feed down to the depth,
/// in pecks of at most Q where the drill has one (each followed by a rapid out to R and a rapid
/// back down to PeckClearance above the bottom drilled so far, or where it breaks the chip only a
/// rapid PeckClearance up), its dwell at the bottom, and a rapid back up to the height it started
/// at. Every move goes to `sink`, in the drill's own units.
void ExpandDrill(const ToolMove& drill, Units units, ToolpathSink& sink);

}  // namespace quorrel
