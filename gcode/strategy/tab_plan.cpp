#include "gcode/strategy/tab_plan.h"
#include "gcode/shapes/operation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gcode/numbers/coord.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/round3.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

double Dot(Point a, Point b) {
  return a.x * b.x + a.y * b.y;
}

Point Minus(Point a, Point b) {
  return {a.x - b.x, a.y - b.y};
}

double DistanceToSegment(Point p, Point a, Point b) {
  const Point ab = Minus(b, a);
  const double length2 = Dot(ab, ab);
  const double t = length2 > 0.0 ? std::clamp(Dot(Minus(p, a), ab) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - (a.x + t * ab.x), p.y - (a.y + t * ab.y));
}

// How far counter-clockwise `angle` lies from `start`, in [0, a turn).
double TurnFrom(double start, double angle) {
  const double turn = std::fmod(angle - start, kTurn);
  return turn < 0.0 ? turn + kTurn : turn;
}

// The sides of a rectangle or rounded rectangle, as stretches of the contour's walk with the
// bottom side whole: from its left end, before the walk's start, to its right end.
struct Side {
  double from, to;
};

// A cut along `piece` of a contour's walk from `a` to `b`, at height `z`, as a program writes it.
ToolMove CutAlong(const ContourWalk::Piece& piece, Point a, Point b, Coord z) {
  ToolMove cut;
  cut.kind = piece.arc ? MoveKind::ArcCounterClockwise : MoveKind::Feed;
  cut.from = {Coord::Of(a.x), Coord::Of(a.y), z};
  cut.to = {Coord::Of(b.x), Coord::Of(b.y), z};
  cut.centerX = piece.center.x;
  cut.centerY = piece.center.y;
  cut.words = kWordsXY;
  return cut;
}

std::vector<Side> SidesOf(const ContourWalk& walk) {
  const auto& p = walk.pieces();
  return {
      {-p[8].length(), p[0].to}, {p[2].from, p[2].to}, {p[4].from, p[4].to}, {p[6].from, p[6].to}};
}

}  // namespace

double TabSizes::base() const {
  if (!(angle < 90.0)) return width;
  return width + 2 * height / std::tan(angle * std::numbers::pi / 180.0);
}

TabSizes TabSizesOf(const TabSettings& tabs, const JobParameters& job,
                    const MachineSettings& settings) {
  TabSizes sizes;
  sizes.count = tabs.count;
  sizes.width = tabs.width.value_or(Round3(4.0 * job.ToolRadius));
  const double most =
      ProgramUnits::Of(settings).FromMachine(settings.units == Units::Inches ? 0.08 : 2.0);
  sizes.height = tabs.height.value_or(Round3(std::min(std::fabs(job.Depth) / 3.0, most)));
  sizes.angle = tabs.angle.value_or(settings.entry == Entry::Ramp ? 45.0 : 90.0);
  return sizes;
}

TabPlan::TabPlan(const JobParameters& job, const CuttingStrategy& strategy,
                 const MachineSettings& settings)
    : sizes_(TabSizesOf(strategy.tabs, job, settings)),
      walk_(ContourOf(job)),
      outside_(strategy.outside),
      toolRadius_(std::fabs(job.ToolRadius)),
      reach_(toolRadius_ + strategy.finishAllowance.value_or(0.0)),
      depth_(reach_ + toolRadius_),
      top_(Coord::Of(static_cast<double>(Coord::Of(job.Depth)) + sizes_.height)),
      bottom_(Coord::Of(job.Depth)) {
  if (sizes_.count <= 0) return;
  const double spacing = walk_.length() / sizes_.count;
  const Contour contour = ContourOf(job);
  const bool circle = job.ShapeKind == ShapeKind::Circle;
  // Where the path starts: the left-most point of a circle, the left end of a bottom side.
  const double pathStart =
      circle ? 3 * walk_.length() / 4 : -(contour.halfWidth - contour.cornerRadius);
  Place(spacing, pathStart);
  // The straight parts crowd the tabs together: round the whole contour, evenly.
  if (!StandApart()) PlaceEvenly(spacing, pathStart);
  for (const double center : centers_) {
    middles_.push_back(walk_.PointAt(center));
    tops_.push_back(FootingsOf(center, sizes_.width));
    bases_.push_back(FootingsOf(center, sizes_.base()));
  }
}

std::vector<TabPlan::Footing> TabPlan::FootingsOf(double center, double length) const {
  std::vector<Footing> footings;
  const double from = center - length / 2, to = center + length / 2;
  for (const double shift : {-walk_.length(), 0.0, walk_.length()}) {
    for (const ContourWalk::Piece& piece : walk_.pieces()) {
      const double a = std::max(from, piece.from + shift), b = std::min(to, piece.to + shift);
      if (a <= b) footings.push_back({piece, a - piece.from - shift, b - piece.from - shift});
    }
  }
  return footings;
}

// The tabs evenly round the whole contour, the first half a spacing on from where the path
// starts.
void TabPlan::PlaceEvenly(double spacing, double pathStart) {
  centers_.clear();
  for (int k = 0; k < sizes_.count; ++k) {
    centers_.push_back(walk_.Wrapped(pathStart + (k + 0.5) * spacing));
  }
}

// Whether every two neighbouring tabs leave the cutter room to reach the Depth between their
// bases, measured along the contour.
bool TabPlan::StandApart() const {
  if (centers_.size() < 2) return true;
  std::vector<double> sorted = centers_;
  std::sort(sorted.begin(), sorted.end());
  const double needed = sizes_.base() + 2 * toolRadius_;
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    const double next = k + 1 < sorted.size() ? sorted[k + 1] : sorted[0] + walk_.length();
    if (next - sorted[k] <= needed) return false;
  }
  return true;
}

void TabPlan::Place(double spacing, double pathStart) {
  const double width = sizes_.base(), tool = toolRadius_;
  const ContourWalk::Piece& corner = walk_.pieces()[1];
  // On the paths inside a corner sharper than their reach, a side's straight part is shorter.
  const double shortened = outside_ ? 0.0 : std::max(0.0, reach_ - corner.radius);
  // A stretch over a tab's base ends this far short of a corner, so that a cutter that turns the
  // corner passes the base's end, not grazes it.
  constexpr double kClear = 0.01;
  std::vector<Side> allowed;
  for (const Side& side : SidesOf(walk_)) {
    const double margin = shortened + width / 2 + tool + kClear;
    const Side room{side.from + margin, side.to - margin};
    if (room.from <= room.to) allowed.push_back(room);
  }
  if (allowed.empty()) {
    PlaceEvenly(spacing, pathStart);
    return;
  }
  for (int k = 0; k < sizes_.count; ++k) {
    // The nearest place on a side that can take the tab.
    const double ideal = k * spacing;
    double best = ideal, nearest = INFINITY;
    for (const Side& room : allowed) {
      for (const double turn : {-walk_.length(), 0.0, walk_.length()}) {
        const double place = std::clamp(ideal + turn, room.from, room.to);
        if (std::fabs(place - ideal - turn) < nearest) {
          nearest = std::fabs(place - ideal - turn);
          best = place;
        }
      }
    }
    centers_.push_back(walk_.Wrapped(best));
  }
}

double TabPlan::DistanceToTab(const std::vector<Footing>& footings, Point point) const {
  double nearest = INFINITY;
  for (const Footing& footing : footings) {
    const ContourWalk::Piece& piece = footing.piece;
    double distance = INFINITY;
    if (!piece.arc) {
      // A strip across the cut: along the side from `from` to `to`, from the contour to the far
      // side of the cut.
      const Point start = piece.PointAt(footing.from);
      const Point inward = piece.Inward(0.0);
      const Point across = outside_ ? Point{-inward.x, -inward.y} : inward;
      const double u = Dot(Minus(point, start), piece.direction);
      const double v = Dot(Minus(point, start), across);
      const double du = std::max({0.0, -u, u - (footing.to - footing.from)});
      const double dv = std::max({0.0, -v, v - depth_});
      distance = std::hypot(du, dv);
    } else {
      // A sector of a ring across the cut; a corner of radius 0 spans its whole quarter.
      const double radius = piece.radius;
      const double first =
          radius > 0.0 ? piece.startAngle + footing.from / radius : piece.startAngle;
      const double span =
          radius > 0.0 ? (footing.to - footing.from) / radius : std::numbers::pi / 2;
      const double low = outside_ ? radius : std::max(0.0, radius - depth_);
      const double high = outside_ ? radius + depth_ : radius;
      const Point q = Minus(point, piece.center);
      const double rho = std::hypot(q.x, q.y);
      if (TurnFrom(first, std::atan2(q.y, q.x)) <= span) {
        distance = std::max({0.0, low - rho, rho - high});
      } else {
        for (const double angle : {first, first + span}) {
          const Point e{std::cos(angle), std::sin(angle)};
          distance = std::min(
              distance,
              DistanceToSegment(point, {piece.center.x + low * e.x, piece.center.y + low * e.y},
                                {piece.center.x + high * e.x, piece.center.y + high * e.y}));
        }
      }
    }
    nearest = std::min(nearest, distance);
  }
  return nearest;
}

std::vector<std::pair<double, double>> TabPlan::RaisedParts(const ToolMove& move,
                                                            Level level) const {
  std::vector<std::pair<double, double>> parts;
  const double length = MoveLength(move);
  if (!(length > 0.0)) return parts;
  const double tool = toolRadius_;
  const std::vector<std::vector<Footing>>& tabs = level == Level::Top ? tops_ : bases_;
  // Every point of a tab lies within this of its middle.
  const double reach = sizes_.base() + 2 * depth_ + tool;
  // Fine enough that no stretch over a tab, at least a tab's width long, falls between samples;
  // a cutter of no size is no reason to look finer than the tab itself. A path crosses every
  // tab's footing, so a stretch is also at least the cutter's diameter long, wherever the
  // cutter's edge first meets the tab: a large cutter needs no finer look than its size.
  const double width = sizes_.width;
  const double step =
      std::max({std::min({width, std::max(tool, width / 8), depth_ > 0.0 ? depth_ : width}) / 8,
                tool / 4, 1e-4});
  for (std::size_t tab = 0; tab < centers_.size(); ++tab) {
    const Point middle = middles_[tab];
    if (DistanceToMove(middle.x, middle.y, move) > reach) continue;
    const auto inside = [&](double t) {
      return DistanceToTab(tabs[tab], PointAlong(move, t)) < tool;
    };
    const auto edge = [&](double out, double in) {
      for (int i = 0; i < 60; ++i) {
        const double mid = (out + in) / 2;
        (inside(mid) ? in : out) = mid;
      }
      return (out + in) / 2;
    };
    const auto samples = static_cast<long long>(std::min(std::ceil(length / step), 1e12));
    const long long count = std::max(16LL, samples);
    // Each sample is at most this far along the move from the one before.
    const double apart = length / static_cast<double>(count);
    double previous = 0.0;
    bool wasInside = inside(0.0);
    double start = 0.0;
    for (long long i = 1; i <= count; ++i) {
      if (!wasInside) {
        // Far from the tab, the samples that cannot reach it are passed over: a long path with
        // many tabs looks closely only near each.
        const Point at = PointAlong(move, previous);
        const double beyond = std::hypot(at.x - middle.x, at.y - middle.y) - reach;
        const auto skipped = static_cast<long long>(std::min(beyond / apart, 1e12)) - 1;
        if (skipped > 0) {
          i = std::min(count, i + skipped);
          previous = static_cast<double>(i - 1) / static_cast<double>(count);
        }
      }
      const double t = static_cast<double>(i) / static_cast<double>(count);
      const bool now = inside(t);
      if (now && !wasInside) start = edge(previous, t);
      if (!now && wasInside) parts.emplace_back(start, edge(t, previous));
      wasInside = now;
      previous = t;
    }
    if (wasInside) parts.emplace_back(start, 1.0);
  }
  std::sort(parts.begin(), parts.end());
  return parts;
}

void TabPlan::AddRaisedStretches(const ToolMove& move, double walked, double length, Level level,
                                 std::vector<std::pair<double, double>>& raised) const {
  for (const auto& [from, to] : RaisedParts(move, level)) {
    const double a = walked + from * length, b = walked + to * length;
    if (!raised.empty() && a <= raised.back().second + kSameAlongWalk) {
      raised.back().second = std::max(raised.back().second, b);
    } else {
      raised.emplace_back(a, b);
    }
  }
}

double TabPlan::HeightUnder(Point point) const {
  double highest = bottom_;
  const double slope = std::tan(sizes_.angle * std::numbers::pi / 180.0);
  for (std::size_t tab = 0; tab < centers_.size(); ++tab) {
    if (!(DistanceToTab(bases_[tab], point) < toolRadius_)) continue;
    if (DistanceToTab(tops_[tab], point) < toolRadius_) return top_;
    // The shortest stretch of the tab's base along the contour that the cutter still reaches:
    // the tab stands that high there.
    double reached = sizes_.base(), missed = sizes_.width;
    for (int i = 0; i < 50; ++i) {
      const double length = (reached + missed) / 2;
      (DistanceToTab(FootingsOf(centers_[tab], length), point) < toolRadius_ ? reached : missed) =
          length;
    }
    highest = std::max(highest, top_ - (reached - sizes_.width) / 2 * slope);
  }
  return std::min(highest, top_);
}

std::vector<ToolMove> TabPlan::Stretch(std::size_t tab, Level level) const {
  std::vector<ToolMove> cuts;
  for (const Footing& footing : (level == Level::Top ? tops_ : bases_)[tab]) {
    if (!(footing.to > footing.from)) continue;
    const ContourWalk::Piece& piece = footing.piece;
    cuts.push_back(
        CutAlong(piece, piece.PointAt(footing.from), piece.PointAt(footing.to), Coord::Of(top_)));
  }
  return cuts;
}

namespace {

// The stretches of the path along the wall where the cutter is over a tab's base, as distances
// along that path's walk; one across the walk's start counts once.
std::vector<std::pair<double, double>> BasesAlong(const ContourWalk& wall, const TabPlan& plan) {
  std::vector<std::pair<double, double>> raised;
  for (const ContourWalk::Piece& piece : wall.pieces()) {
    if (!(piece.length() > 0.0)) continue;
    plan.AddRaisedStretches(CutAlong(piece, piece.start, piece.end, Coord()), piece.from,
                            piece.length(), TabPlan::Level::Base, raised);
  }
  if (raised.size() > 1 && raised.front().first <= kSameAlongWalk &&
      raised.back().second >= wall.length() - kSameAlongWalk) {
    raised.front().first = raised.back().first - wall.length();
    raised.pop_back();
  }
  return raised;
}

double TotalLength(const std::vector<std::pair<double, double>>& stretches) {
  double total = 0.0;
  for (const auto& [from, to] : stretches) total += to - from;
  return total;
}

// What the tabs of `strategy` do to the path along the wall: how many stand apart, and how much
// of the path their bases raise.
struct TabsOnWall {
  int apart;
  double raised;
};

TabsOnWall TabsOnWallOf(const TabPlan& plan, const ContourWalk& wall) {
  const std::vector<std::pair<double, double>> bases = BasesAlong(wall, plan);
  return {static_cast<int>(bases.size()), TotalLength(bases)};
}

std::string TabsText(int count) {
  return std::to_string(count) + (count == 1 ? " tab" : " tabs");
}

}  // namespace

std::optional<TabsProblem> TabsProblemOf(const JobParameters& job, const CuttingStrategy& strategy,
                                         const MachineSettings& settings) {
  return TabsProblemOf(job, strategy, settings, TabPlan(job, strategy, settings));
}

std::optional<TabsProblem> TabsProblemOf(const JobParameters& job, const CuttingStrategy& strategy,
                                         const MachineSettings& settings, const TabPlan& plan) {
  const TabSizes& sizes = plan.sizes();
  if (sizes.count <= 0) return std::nullopt;
  const ProgramUnits units = ProgramUnits::Of(settings);
  if (!(sizes.width > 0.0)) {
    return TabsProblem{"tab-width", "needs a size: with a Tool Radius of 0 there is none to take"};
  }
  const double deep = std::fabs(static_cast<double>(Coord::Of(job.Depth)));
  if (sizes.height >= deep) {
    return TabsProblem{"tab-height", "must be less than the Depth's size, " + units.Text(deep) +
                                         ", not " + units.Text(sizes.height)};
  }
  if (settings.entry == Entry::Ramp && !(sizes.angle < 90.0)) {
    return TabsProblem{"tab-angle",
                       "of 90 stands a tab's sides straight up, and a tool that ramps never goes "
                       "straight down into the material: give a slope below 90 degrees (45 "
                       "where none is given)"};
  }
  // The path along the wall, and what the tabs' bases take of it with the cutter on either side.
  const double tool = std::fabs(job.ToolRadius);
  const ContourWalk wall(ContourOf(job).Inset(strategy.outside ? -tool : tool));
  const double path = wall.length();
  const TabsOnWall on = TabsOnWallOf(plan, wall);
  // The most tabs of these sizes that would fit, for the message.
  const auto fitting = [&] {
    CuttingStrategy fewer = strategy;
    for (fewer.tabs.count = sizes.count - 1; fewer.tabs.count > 0; --fewer.tabs.count) {
      const TabsOnWall tried = TabsOnWallOf(TabPlan(job, fewer, settings), wall);
      if (tried.apart >= fewer.tabs.count && tried.raised < path / 2) break;
    }
    return fewer.tabs.count == 0 ? std::string(
                                       "no tab of these sizes fits: give narrower, lower "
                                       "or steeper tabs")
                                 : "at most " + TabsText(fewer.tabs.count) + " of these sizes " +
                                       (fewer.tabs.count == 1 ? "fits" : "fit") +
                                       ", or give narrower, lower or steeper tabs";
  };
  if (on.raised >= path / 2) {
    const std::string base = sizes.base() > sizes.width
                                 ? " at the top and " + units.Text(sizes.base()) + " at the base"
                                 : "";
    return TabsProblem{
        "tabs", "leave too little of the outline to cut free: " + TabsText(sizes.count) + " of " +
                    units.Text(sizes.width) + base +
                    ", with the cutter's reach on either side, raise " + units.Text(on.raised) +
                    " of the outline path's " + units.Text(path) + ", which leaves " +
                    units.Text(std::max(path - on.raised, 0.0)) +
                    "; at least half of it must be cut free; " + fitting()};
  }
  // Each tab stands apart: the cutter comes down to the Depth between every two of them.
  if (on.apart < sizes.count) {
    return TabsProblem{"tabs", "do not fit apart from one another on this shape: their bases, " +
                                   units.Text(sizes.base()) +
                                   " long with the cutter's reach on either side, meet; " +
                                   fitting()};
  }
  return std::nullopt;
}

}  // namespace quorrel
