#include "gcode/shapes/operation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "gcode/shapes/circle_toolpath.h"
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

const std::array<Operation, 3> kOperations{{
    {ShapeKind::Rectangle, "rectangle", "rectangle H",
     kEveryField & ~Operation::FieldBit(Field::Radius), RectangleTitle,
     [](const JobParameters& job) { return RectangleWithCorners(job, 0.0); }, MakeRectangleToolpath,
     MakeRectangleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       if (outside) return RoundedOutlineLayout();
       return job.Fill ? RectangleFillLayout() : InsetRectangleLayout();
     }},
    {ShapeKind::Circle, "circle", "Circle R",
     kEveryField & ~Operation::FieldBits({Field::Width, Field::Height}), CircleTitle,
     [](const JobParameters& job) {
       const double radius = std::fabs(job.CornerRadius);
       return Contour{job.CenterX, job.CenterY, radius, radius, radius};
     },
     MakeCircleToolpath, MakeCircleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       return job.Fill && !outside ? CircleFillLayout() : CircleOutlineLayout();
     }},
    {ShapeKind::RoundedRectangle, "rounded-rectangle", "rectangle rounded corner H", kEveryField,
     RoundedRectangleTitle,
     [](const JobParameters& job) { return RectangleWithCorners(job, job.CornerRadius); },
     MakeRoundedRectangleToolpath, MakeRoundedRectangleOutside,
     [](const JobParameters& job, bool outside) -> const DinLayout& {
       if (outside) return RoundedOutlineLayout();
       if (job.Fill) return RoundedFillLayout();
       return OutlineFollowsCorners(job) ? RoundedOutlineLayout() : InsetRectangleLayout();
     }},
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

bool BeginsWithShapeWords(std::string_view title) {
  return std::any_of(kOperations.begin(), kOperations.end(), [title](const Operation& operation) {
    return title.starts_with(operation.titleWords);
  });
}

}  // namespace quorrel
