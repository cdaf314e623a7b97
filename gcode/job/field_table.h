#pragma once

#include <array>
#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/shape_kind.h"

namespace quorrel {

/// The seven fields of a job, in the order the save reads them.
enum class Field { CenterX, CenterY, Width, Height, Radius, ToolRadius, Depth };

/// Everything that is known of one field: what the window shows beside it and in it at start,
/// where its text is kept, and the command-line option that sets it.
struct FieldDescription {
  Field field;
  std::string_view caption;      ///< "Position Center X": the window's label, and in messages
  std::string_view defaultText;  ///< the text the window starts with
  std::string FieldTexts::*text;
  std::string_view option;  ///< "--center-x"
};

inline constexpr std::array<FieldDescription, 7> kFields{{
    {Field::CenterX, "Position Center X", "0", &FieldTexts::CenterXText, "--center-x"},
    {Field::CenterY, "Position Center Y", "0", &FieldTexts::CenterYText, "--center-y"},
    {Field::Width, "Width", "10", &FieldTexts::WidthText, "--width"},
    {Field::Height, "Height", "10", &FieldTexts::HeightText, "--height"},
    {Field::Radius, "Radius", "2", &FieldTexts::RadiusText, "--radius"},
    {Field::ToolRadius, "Tool Radius", "1", &FieldTexts::ToolRadiusText, "--tool-radius"},
    {Field::Depth, "Depth", "-2", &FieldTexts::DepthText, "--depth"},
}};

/// The row of `field` in kFields.
constexpr const FieldDescription& DescriptionOf(Field field) {
  return kFields[static_cast<std::size_t>(field)];
}

}  // namespace quorrel
