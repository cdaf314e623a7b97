#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gcode/job/job_parameters.h"
#include "gcode/job/machine_settings.h"
#include "gcode/strategy/cutting_strategy.h"
#include "gcode/toolpath/contour_walk.h"
#include "gcode/toolpath/tool_move.h"

namespace quorrel {

/// The most holding tabs an outline may have.
inline constexpr int kMostTabs = 64;

/// The flattest a tab's sides may slope, in degrees from the horizontal: flatter, a tab's base
/// would take the outline whole.
inline constexpr double kFlattestTabAngle = 1.0;

/// How many holding tabs a job has, and how large they are. A tab is a trapezoid along the
/// contour: its top `width` long at `height` above the Depth, its sides sloping down from the top
/// at `angle` to its base at the Depth.
struct TabSizes {
  int count = 0;
  double width = 0.0;   ///< of the top, along the contour
  double height = 0.0;  ///< above the Depth
  double angle = 90.0;  ///< of the sides, in degrees from the horizontal

  /// The base's length along the contour: the top and both slopes. TabSizes{1, 4, 1, 45}: 6.
  double base() const;
};

/// The tabs the settings ask for: a width of twice the tool's diameter and a height of a third of
/// the Depth's size, at most 2 mm or 0.08 inch, where none is given; each to the program's
/// thousandths. Their sides stand straight up where the tool plunges, and slope at 45 degrees
/// where it ramps, so that it never goes straight down into the material.
TabSizes TabSizesOf(const TabSettings& tabs, const JobParameters& job,
                    const MachineSettings& settings);

/// Where the holding tabs of an outline stand, and where the cutter must stay above them. A tab
/// is a bridge of the part's material at the contour, across the whole cut: a trapezoid along
/// it (see TabSizes). The tabs lie evenly along the contour: on a rectangle or a rounded
/// rectangle the first in the middle of the bottom side, the others counter-clockwise from it,
/// each moved along its side as far as it takes to keep the cutter's stretch over its base on
/// that side's straight part, or onto the nearest side that can take it; on a circle (or where
/// the sides cannot take them apart) the first half a spacing counter-clockwise from the
/// left-most point, where the path starts, and the others evenly round the contour, corners and
/// all.
class TabPlan {
 public:
  /// The two heights at which a tab's extent matters: its top, and its base at the Depth.
  enum class Level { Top, Base };

  /// The tabs the strategy asks for in the job (see TabSizesOf), kept clear of the farthest path
  /// from the contour: the Tool Radius and any finishing allowance away.
  TabPlan(const JobParameters& job, const CuttingStrategy& strategy,
          const MachineSettings& settings);

  const TabSizes& sizes() const { return sizes_; }
  /// The height of a tab's top, as the program writes it: the Depth and the tab's height.
  double top() const { return top_; }
  /// The height of a tab's base, as the program writes it: the Depth.
  double bottom() const { return bottom_; }
  /// Where each tab's middle lies along the contour's walk (see ContourWalk).
  const std::vector<double>& centers() const { return centers_; }
  const ContourWalk& walk() const { return walk_; }

  /// The stretches of `move` where a cutter of the Tool Radius centred on it would cut into a
  /// tab's top, or its base: a disc, not a square, reaches a tab on a straight side over its
  /// length and the cutter's diameter, on an arc over a little more or less. Each as fractions
  /// of the move, in order.
  std::vector<std::pair<double, double>> RaisedParts(const ToolMove& move, Level level) const;
  /// Adds the stretches of `move` over a tab's top or base to `raised`, as distances along a walk
  /// on which the move starts at `walked` and is `length` long; a stretch that meets the one
  /// before joins it.
  void AddRaisedStretches(const ToolMove& move, double walked, double length, Level level,
                          std::vector<std::pair<double, double>>& raised) const;

  /// How high the tabs stand under a cutter of the Tool Radius centred at `point`: a tab's top
  /// where it reaches one, down its slope where it reaches a base only, and the Depth where it
  /// reaches none.
  double HeightUnder(Point point) const;

  /// The contour under tab `tab`'s top or base, as cuts (lines and counter-clockwise arcs) at the
  /// top's height, for a drawing.
  std::vector<ToolMove> Stretch(std::size_t tab, Level level) const;

 private:
  // A tab's part of one piece of the contour, with the material across the cut beside it.
  struct Footing {
    ContourWalk::Piece piece;
    double from = 0.0, to = 0.0;  // how far into the piece
  };

  std::vector<Footing> FootingsOf(double center, double length) const;
  double DistanceToTab(const std::vector<Footing>& footings, Point point) const;
  void Place(double spacing, double start);
  void PlaceEvenly(double spacing, double pathStart);
  bool StandApart() const;

  TabSizes sizes_;
  ContourWalk walk_;
  bool outside_;
  double toolRadius_;
  double reach_;
  double depth_;  // how far across the cut a tab's material reaches from the contour
  double top_;
  double bottom_;
  std::vector<double> centers_;
  std::vector<std::vector<Footing>> tops_, bases_;
  std::vector<Point> middles_;
};

/// What is wrong with the tabs the strategy asks for in this job, or nothing: the setting's name
/// ("tabs", "tab-height") and the words that follow it. A tab as high as the Depth is deep holds
/// nothing up; a tool that ramps cannot go straight down a tab's side; tabs whose bases, with the
/// cutter's reach on either side, take half the outline path or more leave the part too little
/// cut free; tabs must stand apart from one another, so that the cutter reaches the Depth
/// between every two of them.
struct TabsProblem {
  std::string_view key;
  std::string words;
};
std::optional<TabsProblem> TabsProblemOf(const JobParameters& job, const CuttingStrategy& strategy,
                                         const MachineSettings& settings);
/// The same, of the plan already made for the job.
std::optional<TabsProblem> TabsProblemOf(const JobParameters& job, const CuttingStrategy& strategy,
                                         const MachineSettings& settings, const TabPlan& plan);

}  // namespace quorrel
