#pragma once

#include <string>

namespace quorrel {

/// The seven field texts of a job exactly as typed: never trimmed, parsed only when a program is
/// written. The defaults are the window's.
struct FieldTexts {
  std::string CenterXText = "0";
  std::string CenterYText = "0";
  std::string WidthText = "10";
  std::string HeightText = "10";
  std::string RadiusText = "2";
  std::string ToolRadiusText = "1";
  std::string DepthText = "-2";
};

}  // namespace quorrel
