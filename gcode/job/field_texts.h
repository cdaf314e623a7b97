#pragma once

#include <string>

namespace quorrel {

/// The seven field texts of a job exactly as typed: never trimmed, parsed only when a program is
/// written. A new FieldTexts holds the window's defaults (see kFields).
struct FieldTexts {
  FieldTexts();

  std::string CenterXText;
  std::string CenterYText;
  std::string WidthText;
  std::string HeightText;
  std::string RadiusText;
  std::string ToolRadiusText;
  std::string DepthText;

  bool operator==(const FieldTexts&) const = default;
};

}  // namespace quorrel
