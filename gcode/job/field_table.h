#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/shape_kind.h"

namespace quorrel {

/// The fields of a job: the window's seven, in the order its save reads them, then those of the
/// drilling patterns.
enum class Field {
  CenterX,
  CenterY,
  Width,
  Height,
  Radius,
  ToolRadius,
  Depth,
  Holes,
  StartAngle,
  Columns,
  Rows
};

/// Everything that is known of one field: what the window shows beside it and in it at start,
/// where its text is kept, and the command-line option that sets it.
struct FieldDescription {
  Field field;
  std::string_view caption;      ///< "Position Center X": the window's label, and in messages
  std::string_view defaultText;  ///< the text the window starts with
  std::string FieldTexts::*text;
  std::string_view option;         ///< "--center-x"; without "--", its key in a job file
  std::string_view helpNote = {};  ///< what --help adds to the caption: ", negative below …"
};

/// Every field of a job: the window's seven, then the drilling patterns'.
inline constexpr std::array<FieldDescription, 11> kJobFields{{
    {Field::CenterX, "Position Center X", "0", &FieldTexts::CenterXText, "--center-x"},
    {Field::CenterY, "Position Center Y", "0", &FieldTexts::CenterYText, "--center-y"},
    {Field::Width, "Width", "10", &FieldTexts::WidthText, "--width"},
    {Field::Height, "Height", "10", &FieldTexts::HeightText, "--height"},
    {Field::Radius, "Radius", "2", &FieldTexts::RadiusText, "--radius",
     ": the circle's, or the rounded corners'"},
    {Field::ToolRadius, "Tool Radius", "1", &FieldTexts::ToolRadiusText, "--tool-radius"},
    {Field::Depth, "Depth", "-2", &FieldTexts::DepthText, "--depth",
     ", negative below the work surface"},
    {Field::Holes, "Holes", "4", &FieldTexts::HolesText, "--holes", " of a bolt-hole circle"},
    {Field::StartAngle, "Start angle", "0", &FieldTexts::StartAngleText, "--start-angle",
     " of the first hole, degrees from +X"},
    {Field::Columns, "Columns", "2", &FieldTexts::ColumnsText, "--columns", " of a hole grid"},
    {Field::Rows, "Rows", "2", &FieldTexts::RowsText, "--rows", " of a hole grid"},
}};

/// The window's own seven fields, those of its form.
inline constexpr std::span<const FieldDescription, 7> kFields{kJobFields.data(), 7};

/// The row of `field` in kJobFields.
constexpr const FieldDescription& DescriptionOf(Field field) {
  return kJobFields[static_cast<std::size_t>(field)];
}

}  // namespace quorrel
