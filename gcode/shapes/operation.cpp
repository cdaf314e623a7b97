#include "gcode/shapes/operation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "gcode/job/named_choices.h"
#include "gcode/numbers/number_text.h"
#include "gcode/shapes/circle_toolpath.h"
#include "gcode/shapes/drill_pattern.h"
#include "gcode/shapes/facing.h"
#include "gcode/shapes/outside_profile.h"
#include "gcode/shapes/program_title.h"
#include "gcode/shapes/rectangle_toolpath.h"
#include "gcode/shapes/rounded_rectangle_toolpath.h"

namespace quorrel {
namespace {

constexpr unsigned kEveryField =
    Operation::FieldBits({Field::CenterX, Field::CenterY, Field::Width, Field::Height,
                          Field::Radius, Field::ToolRadius, Field::Depth});

// The outline as a rectangle whose corners are arcs of `corner`, sizes by their magnitude.
Contour RectangleWithCorners(const JobParameters& job, double corner) {
  const double halfWidth = std::fabs(job.Width) / 2;
  const double halfHeight = std::fabs(job.Height) / 2;
  return {job.CenterX, job.CenterY, halfWidth, halfHeight,
          std::clamp(corner, 0.0, std::min(halfWidth, halfHeight))};
}

// The figure a drilling pattern's holes stand on, and the stock a facing lowers: a rectangle
// about the centre (of no size for one hole), or a bolt-hole circle.
Contour PatternFigure(const JobParameters& job) {
  switch (job.ShapeKind) {
    case ShapeKind::Hole:
      return {job.CenterX, job.CenterY, 0.0, 0.0, 0.0};
    case ShapeKind::BoltCircle: {
      const double radius = std::fabs(job.CornerRadius);
      return {job.CenterX, job.CenterY, radius, radius, radius};
    }
    default:
      return RectangleWithCorners(job, 0.0);
  }
}

std::string HoleTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"hole X", texts.CenterXText}, {" Y", texts.CenterYText}});
}

std::string BoltCircleTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"bolt circle R", texts.RadiusText}, {" holes ", texts.HolesText}});
}

std::string HoleGridTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"hole grid W", texts.WidthText},
                  {" x H", texts.HeightText},
                  {" holes ", texts.ColumnsText},
                  {" x ", texts.RowsText}});
}

std::string FaceTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"face W", texts.WidthText}, {" x H", texts.HeightText}});
}

// A count or an angle as the fields hold it.
std::string Whole(double value) {
  return FormatCoord(value);
}

void Drill(const JobParameters& job, const PathOptions&, ToolpathSink& sink) {
  MakeHoles(job, sink);
}

// A pecked hole needs a peck no deeper than itself, which the holes' sizes and spacing decide.
std::optional<std::string> DrillingProblem(const JobParameters& job, const PathOptions&,
                                           const DrillSettings& drill, ProgramUnits units) {
  if (auto problem = HolePatternProblem(job, units)) return problem;
  const double depth = std::fabs(static_cast<double>(job.Depth));
  if (drill.peck && *drill.peck > depth) {
    return "The peck, " + units.Text(*drill.peck) + ", is deeper than the hole, " +
           units.Text(depth) + ": give a smaller peck, or drill without one.";
  }
  if (drill.peck) {
    const double pecks = HoleCount(job) * std::ceil(depth / *drill.peck);
    if (pecks > kMostPecks) {
      return "Holes " + units.Text(depth) + " deep in pecks of " + units.Text(*drill.peck) +
             " take " + Whole(pecks) + " pecks, more than the " + Whole(kMostPecks) +
             " a program drills: give a larger peck.";
    }
  }
  return std::nullopt;
}

std::vector<std::string> WidthAndHeight(const JobParameters& job, const LengthWords& length) {
  return {"width " + length(job.Width) + ", height " + length(job.Height)};
}

std::vector<std::string> Radius(const JobParameters& job, const LengthWords& length) {
  return {"radius " + length(job.CornerRadius)};
}

constexpr unsigned kHoleFields =
    Operation::FieldBits({Field::CenterX, Field::CenterY, Field::ToolRadius, Field::Depth});

const std::array<Operation, 7> kOperations{{
    {ShapeKind::Rectangle, "rectangle", "rectangle H",
     kEveryField & ~Operation::FieldBit(Field::Radius), RectangleTitle,
     [](const JobParameters& job) { return RectangleWithCorners(job, 0.0); },
     [](const JobParameters& job, const PathOptions& options, ToolpathSink& sink) {
       MakeRectangleToolpath(job, options.spacing, sink);
     },
     MakeRectangleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       if (outside) return RoundedOutlineLayout();
       return job.Fill ? RectangleFillLayout() : InsetRectangleLayout();
     },
     nullptr, WidthAndHeight, "&Rectangle"},
    {ShapeKind::Circle, "circle", "Circle R",
     kEveryField & ~Operation::FieldBits({Field::Width, Field::Height}), CircleTitle,
     [](const JobParameters& job) {
       const double radius = std::fabs(job.CornerRadius);
       return Contour{job.CenterX, job.CenterY, radius, radius, radius};
     },
     [](const JobParameters& job, const PathOptions& options, ToolpathSink& sink) {
       MakeCircleToolpath(job, options.spacing, sink);
     },
     MakeCircleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       return job.Fill && !outside ? CircleFillLayout() : CircleOutlineLayout();
     },
     nullptr, Radius, "&Circle"},
    {ShapeKind::RoundedRectangle, "rounded-rectangle", "rectangle rounded corner H", kEveryField,
     RoundedRectangleTitle,
     [](const JobParameters& job) { return RectangleWithCorners(job, job.CornerRadius); },
     [](const JobParameters& job, const PathOptions& options, ToolpathSink& sink) {
       MakeRoundedRectangleToolpath(job, options.spacing, sink);
     },
     MakeRoundedRectangleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       if (outside) return RoundedOutlineLayout();
       if (job.Fill) return RoundedFillLayout();
       return OutlineFollowsCorners(job) ? RoundedOutlineLayout() : InsetRectangleLayout();
     },
     nullptr,
     [](const JobParameters& job, const LengthWords& length) {
       return std::vector<std::string>{WidthAndHeight(job, length)[0],
                                       "corner radius " + length(job.CornerRadius)};
     },
     "R&ounded rectangle"},
    {ShapeKind::Hole, "hole", "hole X", kHoleFields, HoleTitle, PatternFigure, Drill, nullptr,
     nullptr, DrillingProblem,
     [](const JobParameters&, const LengthWords&) { return std::vector<std::string>{"one hole"}; },
     "&One hole"},
    {ShapeKind::BoltCircle, "bolt-circle", "bolt circle R",
     kHoleFields | Operation::FieldBits({Field::Radius, Field::Holes, Field::StartAngle}),
     BoltCircleTitle, PatternFigure, Drill, nullptr, nullptr, DrillingProblem,
     [](const JobParameters& job, const LengthWords& length) {
       return std::vector<std::string>{
           "bolt-hole circle, radius " + length(job.CornerRadius),
           Whole(job.Holes) + " holes, the first at " + Whole(job.StartAngle) + " degrees"};
     },
     "&Bolt-hole circle"},
    {ShapeKind::HoleGrid, "hole-grid", "hole grid W",
     kHoleFields | Operation::FieldBits({Field::Width, Field::Height, Field::Columns, Field::Rows}),
     HoleGridTitle, PatternFigure, Drill, nullptr, nullptr, DrillingProblem,
     [](const JobParameters& job, const LengthWords& length) {
       return std::vector<std::string>{
           WidthAndHeight(job, length)[0],
           Whole(job.Columns) + " columns x " + Whole(job.Rows) + " rows of holes"};
     },
     "Hole &grid"},
    {ShapeKind::Face, "face", "face W",
     kHoleFields | Operation::FieldBits({Field::Width, Field::Height}), FaceTitle, PatternFigure,
     [](const JobParameters& job, const PathOptions& options, ToolpathSink& sink) {
       MakeFace(job, options.spacing, options.oneWay, sink);
     },
     nullptr, nullptr,
     [](const JobParameters& job, const PathOptions& options, const DrillSettings&,
        ProgramUnits units) { return FacingProblem(job, options.spacing, units); },
     [](const JobParameters& job, const LengthWords& length) {
       return std::vector<std::string>{"stock faced, " + WidthAndHeight(job, length)[0]};
     },
     "&Face"},
}};

}  // namespace

std::span<const Operation> Operations() {
  return kOperations;
}

const Operation& OperationOf(ShapeKind kind) {
  for (const Operation& operation : kOperations) {
    if (operation.kind == kind) return operation;
  }
  return kOperations[0];
}

const Operation* OperationNamed(std::string_view name) {
  for (const Operation& operation : kOperations) {
    if (operation.name == name) return &operation;
  }
  return nullptr;
}

std::string ProgramTitleText(const JobParameters& job, const FieldTexts& texts,
                             std::string_view decimalSeparator) {
  return OperationOf(job.ShapeKind).title(texts, decimalSeparator);
}

Contour ContourOf(const JobParameters& job) {
  return OperationOf(job.ShapeKind).contour(job);
}

std::string SizeWords(const Operation& operation, std::string_view prefix) {
  std::vector<std::string> options;
  for (const FieldDescription& field : kJobFields) {
    const bool placeOrTool = field.field == Field::CenterX || field.field == Field::CenterY ||
                             field.field == Field::ToolRadius || field.field == Field::Depth;
    if (!placeOrTool && operation.UsesField(field.field)) {
      options.push_back(std::string(prefix) + std::string(field.option.substr(2)));
    }
  }
  const std::string p(prefix);
  if (options.empty()) return "it stands at " + p + "center-x and " + p + "center-y";
  std::vector<std::string_view> words(options.begin(), options.end());
  return "its size is " + ListedWords(words, " and ");
}

bool BeginsWithShapeWords(std::string_view title) {
  return std::any_of(kOperations.begin(), kOperations.end(), [title](const Operation& operation) {
    return title.starts_with(operation.titleWords);
  });
}

}  // namespace quorrel
