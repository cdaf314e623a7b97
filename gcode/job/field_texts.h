#pragma once

#include <string>

namespace quorrel {

/// The field texts of a job exactly as typed: never trimmed, parsed only when a program is
/// written. The window's seven come first; then those of the drilling patterns, which only a
/// controller's program is made from. A new FieldTexts holds the defaults (see kJobFields).
struct FieldTexts {
  FieldTexts();

  std::string CenterXText;
  std::string CenterYText;
  std::string WidthText;
  std::string HeightText;
  std::string RadiusText;
  std::string ToolRadiusText;
  std::string DepthText;
  std::string HolesText;       ///< a bolt-hole circle's count of holes
  std::string StartAngleText;  ///< where its first hole stands, degrees from +X
  std::string ColumnsText;     ///< a grid's holes across
  std::string RowsText;        ///< and up

  bool operator==(const FieldTexts&) const = default;
};

}  // namespace quorrel
