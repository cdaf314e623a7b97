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

/// How many holding tabs a job has, and how large they are.
struct TabSizes {
  int count = 0;
  double width = 0.0;   ///< along the contour
  double height = 0.0;  ///< above the Depth
};

/// The tabs the settings ask for: a width of twice the tool's diameter and a height of a third of
/// the Depth's size, at most 2 mm or 0.08 inch, where none is given; each to the program's
/// thousandths.
TabSizes TabSizesOf(const TabSettings& tabs, const JobParameters& job, Units units);

/// Where the holding tabs of an outline stand, and where the cutter must stay above them. A tab
/// is a bridge of the part's material at the contour: `width` long along it and `height` thick
/// above the Depth, across the whole cut. The tabs lie evenly along the contour: on a rectangle
/// or a rounded rectangle the first in the middle of the bottom side, the others counter-clockwise
/// from it, each moved along its side as far as it takes to keep the cutter's stretch over it on
/// that side's straight part, or onto the nearest side that can take it; on a circle (or where no
/// side can take one) the first half a spacing counter-clockwise from the left-most point, where
/// the path starts.
class TabPlan {
 public:
  /// The tabs the strategy asks for in the job (see TabSizesOf), kept clear of the farthest path
  /// from the contour: the Tool Radius and any finishing allowance away.
  TabPlan(const JobParameters& job, const CuttingStrategy& strategy, Units units);

  const TabSizes& sizes() const { return sizes_; }
  /// The height of a tab's top, as the program writes it: the Depth and the tab's height.
  double top() const { return top_; }
  /// Where each tab's middle lies along the contour's walk (see ContourWalk).
  const std::vector<double>& centers() const { return centers_; }
  const ContourWalk& walk() const { return walk_; }

  /// The stretches of `move` where a cutter of the Tool Radius centred on it would cut into a
  /// tab: a disc, not a square, reaches a tab on a straight side over its width and the cutter's
  /// diameter, on an arc over a little more or less. Each as fractions of the move, in order.
  std::vector<std::pair<double, double>> RaisedParts(const ToolMove& move) const;
  /// Adds the stretches of `move` over a tab to `raised`, as distances along a walk on which the
  /// move starts at `walked` and is `length` long; a stretch that meets the one before joins it.
  void AddRaisedStretches(const ToolMove& move, double walked, double length,
                          std::vector<std::pair<double, double>>& raised) const;

  /// The contour under tab `tab`, as cuts (lines and counter-clockwise arcs), for a drawing.
  std::vector<ToolMove> Stretch(std::size_t tab) const;

 private:
  // A tab's part of one piece of the contour, with the material across the cut beside it.
  struct Footing {
    ContourWalk::Piece piece;
    double from = 0.0, to = 0.0;  // how far into the piece
  };

  double DistanceToTab(std::size_t tab, Point point) const;
  void Place(double spacing, double start);

  TabSizes sizes_;
  ContourWalk walk_;
  bool outside_;
  double toolRadius_;
  double reach_;
  double depth_;  // how far across the cut a tab's material reaches from the contour
  double top_;
  std::vector<double> centers_;
  std::vector<std::vector<Footing>> footings_;
  std::vector<Point> middles_;
};

/// What is wrong with the tabs the strategy asks for in this job, or nothing: the setting's name
/// ("tabs", "tab-height") and the words that follow it. A tab as high as the Depth is deep holds
/// nothing up; tabs that, with the cutter's width added to each, take half the outline path or
/// more leave the part too little cut free; tabs must stand apart from one another.
struct TabsProblem {
  std::string_view key;
  std::string words;
};
std::optional<TabsProblem> TabsProblemOf(const JobParameters& job, const CuttingStrategy& strategy,
                                         Units units);

}  // namespace quorrel
