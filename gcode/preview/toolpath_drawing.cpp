#include "gcode/preview/toolpath_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>
#include <limits>
#include <numbers>
#include <vector>

#include "gcode/estimate/run_time.h"
#include "gcode/numbers/round3.h"
#include "gcode/shapes/operation.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
namespace {

constexpr double kDrawingSize = 600;  // px, the square the drawing fits in
constexpr double kMargin = 40;        // px around it
constexpr double kLegendWidth = 300;  // px to the right
constexpr double kLineHeight = 20;    // px between legend lines

// How each part of the drawing looks, and what the legend calls it.
struct Style {
  const char* id;
  const char* attributes;  // SVG presentation attributes
  const char* label;       // in the legend; nullptr for parts the legend does not list
};

constexpr Style kCut{"cuts", "fill=\"none\" stroke=\"#10407a\" stroke-width=\"1.5\"",
                     "cut (tool centre)"};
constexpr Style kSwept{"swept", "fill=\"none\" stroke=\"#3a7bd5\" stroke-opacity=\"0.25\"",
                       "area the cutter sweeps"};
constexpr Style kSweptOutside{"swept-outside",
                              "fill=\"none\" stroke=\"#e0301e\" stroke-opacity=\"0.45\"",
                              "cutter outside the contour"};
constexpr Style kSweptInside{"swept-inside", kSweptOutside.attributes, "cutter inside the contour"};
constexpr Style kContour{"contour", "fill=\"none\" stroke=\"#202020\" stroke-width=\"1\"",
                         "contour"};
constexpr Style kRamp{"ramps", "fill=\"none\" stroke=\"#d07020\" stroke-width=\"1.5\"",
                      "ramp into the material"};
constexpr Style kRapid{
    "rapids", "fill=\"none\" stroke=\"#808080\" stroke-width=\"1\" stroke-dasharray=\"4 3\"",
    "rapid move at the clearance height"};
constexpr Style kPlunge{"plunges", "fill=\"#d03030\"", "where the tool plunges"};
constexpr Style kHole{"holes",
                      "fill=\"#3a7bd5\" fill-opacity=\"0.25\" stroke=\"#10407a\" "
                      "stroke-width=\"1.5\"",
                      "hole, numbered in drilling order"};
// Past this many holes their numbers would only cover them.
constexpr std::size_t kMostNumberedHoles = 200;
constexpr Style kTab{"tabs",
                     "fill=\"none\" stroke=\"#1f9d55\" stroke-width=\"6\" stroke-opacity=\"0.85\"",
                     "holding tab, left standing"};
constexpr Style kTabSlope{
    "tab-slopes", "fill=\"none\" stroke=\"#1f9d55\" stroke-width=\"6\" stroke-opacity=\"0.35\"",
    "a tab's sloping sides"};
constexpr Style kAxes{"axes",
                      "stroke=\"#9a9a9a\" stroke-width=\"1\" font-family=\"sans-serif\" "
                      "font-size=\"12\" fill=\"#6a6a6a\"",
                      nullptr};

// The one text of every number in the drawing: fixed decimals, trailing zeros dropped, never
// "-0", never the locale's separator.
std::string SvgNumber(double value, int decimals = 2) {
  if (!std::isfinite(value)) value = 0;
  char text[400];
  std::string result(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr);
  if (result.find('.') != std::string::npos) {
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') result.pop_back();
  }
  return result == "-0" ? "0" : result;
}

// The drawing's scale to three significant digits: a large job's is far below one pixel.
std::string ScaleText(double scale) {
  char text[64];
  return std::string(
      text, std::to_chars(text, text + sizeof text, scale, std::chars_format::general, 3).ptr);
}

// A length of the job, as the legend writes it: rounded to the program's thousandths, or its
// ten-thousandths where it is made in tenths of its unit.
std::string JobNumber(double value, ProgramUnits units = {}) {
  if (units.tenths()) return SvgNumber(Round3(value * 10.0) / 10.0, 4);
  return SvgNumber(Round3(value), 3);
}

// Text for the legend: XML's special characters escaped, control characters and bytes that are
// not UTF-8 shown as "?".
std::string XmlText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80           ? 1
                         : (c >> 5) == 0x6  ? 2
                         : (c >> 4) == 0xE  ? 3
                         : (c >> 3) == 0x1E ? 4
                                            : 0;
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      valid = (static_cast<unsigned char>(text[i + k]) >> 6) == 0x2;
    }
    if (!valid || (c < 0x20 && c != '\t') || c == 0x7F) {
      out += '?';
      i += valid ? length : 1;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

struct Box {
  double left = std::numeric_limits<double>::infinity();
  double bottom = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double top = -std::numeric_limits<double>::infinity();

  void Add(double x, double y, double reach = 0) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    left = std::min(left, x - reach);
    right = std::max(right, x + reach);
    bottom = std::min(bottom, y - reach);
    top = std::max(top, y + reach);
  }
  bool Empty() const { return !(left <= right); }
  double Width() const { return right - left; }
  double Height() const { return top - bottom; }
  double Extent() const { return std::max({Width(), Height(), 1e-3}); }
};

// Maps machine coordinates to the page: Y up on the machine, down on the page.
class PageMapping {
 public:
  explicit PageMapping(const Box& view) {
    const double extent = view.Extent();
    scale_ = kDrawingSize / extent;
    left_ = view.left - (extent - view.Width()) / 2;
    top_ = view.top + (extent - view.Height()) / 2;
  }
  double X(double x) const { return kMargin + (x - left_) * scale_; }
  double Y(double y) const { return kMargin + (top_ - y) * scale_; }
  double Length(double length) const { return length * scale_; }
  std::string Point(double x, double y) const { return SvgNumber(X(x)) + " " + SvgNumber(Y(y)); }

  // Where the page's drawing square lies on the machine, for anyone measuring the picture.
  std::string DataAttributes() const {
    return " data-scale=\"" + SvgNumber(scale_, 9) + "\" data-left=\"" + SvgNumber(left_, 9) +
           "\" data-top=\"" + SvgNumber(top_, 9) + "\" data-margin=\"" + SvgNumber(kMargin) + "\"";
  }
  double scale() const { return scale_; }

 private:
  double scale_ = 1, left_ = 0, top_ = 0;
};

std::string Element(const Style& style, const std::string& tag, const std::string& geometry,
                    const std::string& extra = "") {
  return "<" + tag + " id=\"" + style.id + "\" " + geometry + " " + style.attributes + extra +
         "/>\n";
}

// The SVG arc command to (x, y) on a circle of page radius `r`. The page shows Y up as the
// machine does, so an arc turns on the page as it does on the machine: counter-clockwise is
// SVG's sweep 0.
std::string ArcTo(const PageMapping& page, double r, bool large, bool clockwise, double x,
                  double y) {
  const std::string radius = SvgNumber(page.Length(r));
  return " A" + radius + " " + radius + " 0 " + (large ? "1" : "0") + (clockwise ? " 1 " : " 0 ") +
         page.Point(x, y);
}

std::string ArcData(const PageMapping& page, const ToolMove& arc) {
  const double radius = ArcRadius(arc);
  const double sweep = ArcSweep(arc);
  const bool clockwise = arc.kind == MoveKind::ArcClockwise;
  if (sweep == 2 * std::numbers::pi) {
    // A whole circle: two halves through the point opposite the start.
    const Point opposite = PointAlong(arc, 0.5);
    return ArcTo(page, radius, false, clockwise, opposite.x, opposite.y) +
           ArcTo(page, radius, false, clockwise, arc.to.x, arc.to.y);
  }
  return ArcTo(page, radius, sweep > std::numbers::pi, clockwise, arc.to.x, arc.to.y);
}

// A path is drawn in pieces of at most this many moves. A renderer works out where one path
// overlaps itself, and a Fill's path overlaps itself once for every ring it sweeps past, so that
// one long path takes it minutes where pieces take it a moment.
constexpr std::size_t kMovesPerPiece = 100;

// Moves in order, as pieces of path data that each start where the one before ended, with a new
// start wherever one is left.
std::vector<std::string> PathPieces(const PageMapping& page, const std::vector<ToolMove>& moves) {
  std::vector<std::string> pieces;
  std::size_t inPiece = kMovesPerPiece;
  double atX = std::numeric_limits<double>::quiet_NaN(), atY = 0;
  for (const ToolMove& move : moves) {
    const bool joined = move.from.x == atX && move.from.y == atY;
    if (!joined || inPiece == kMovesPerPiece) {
      pieces.push_back("M" + page.Point(move.from.x, move.from.y));
      inPiece = 0;
    }
    pieces.back() += IsArc(move) ? ArcData(page, move) : " L" + page.Point(move.to.x, move.to.y);
    ++inPiece;
    atX = move.to.x;
    atY = move.to.y;
  }
  return pieces;
}

// Moves as one line, in order, a new start wherever one is left.
std::string PathData(const PageMapping& page, const std::vector<ToolMove>& moves) {
  std::string data;
  for (const std::string& piece : PathPieces(page, moves)) data += piece;
  return data;
}

// A group of paths drawn alike, one for each piece.
std::string PiecesGroup(const Style& style, const std::vector<std::string>& pieces,
                        const std::string& attributes) {
  std::string svg = "<g id=\"" + std::string(style.id) + "\" " + attributes + ">\n";
  for (const std::string& piece : pieces) svg += "<path d=\"" + piece + "\"/>\n";
  return svg + "</g>\n";
}

std::string ContourData(const PageMapping& page, const Contour& c) {
  const double x0 = c.centerX, y0 = c.centerY, w = c.halfWidth, h = c.halfHeight;
  const double r = c.cornerRadius;
  const auto corner = [&](double x, double y) { return ArcTo(page, r, false, false, x, y); };
  return "M" + page.Point(x0 - w + r, y0 - h) + " L" + page.Point(x0 + w - r, y0 - h) +
         corner(x0 + w, y0 - h + r) + " L" + page.Point(x0 + w, y0 + h - r) +
         corner(x0 + w - r, y0 + h) + " L" + page.Point(x0 - w + r, y0 + h) +
         corner(x0 - w, y0 + h - r) + " L" + page.Point(x0 - w, y0 - h + r) +
         corner(x0 - w + r, y0 - h) + " Z";
}

// Axes through the origin, or a note where it lies outside the picture.
std::string DrawAxes(const PageMapping& page, bool originShown) {
  std::string svg = "<g id=\"" + std::string(kAxes.id) + "\" " + kAxes.attributes + ">\n";
  if (!originShown) {
    svg += "<text id=\"origin\" x=\"" + SvgNumber(kMargin) + "\" y=\"" + SvgNumber(kMargin - 12) +
           "\" stroke=\"none\">The origin (0, 0) lies outside this picture.</text>\n";
    return svg + "</g>\n";
  }
  const std::string ox = SvgNumber(page.X(0)), oy = SvgNumber(page.Y(0));
  const std::string low = SvgNumber(kMargin), high = SvgNumber(kMargin + kDrawingSize);
  svg +=
      "<path d=\"M" + low + " " + oy + " H" + high + " M" + ox + " " + high + " V" + low + "\"/>\n";
  svg += "<path d=\"M" + high + " " + oy + " l-8 -4 v8 Z M" + ox + " " + low +
         " l-4 8 h8 Z\" fill=\"#9a9a9a\"/>\n";
  svg += "<text x=\"" + SvgNumber(kMargin + kDrawingSize - 12) + "\" y=\"" +
         SvgNumber(page.Y(0) - 8) + "\" stroke=\"none\">X</text>\n";
  svg += "<text x=\"" + SvgNumber(page.X(0) + 8) + "\" y=\"" + SvgNumber(kMargin + 12) +
         "\" stroke=\"none\">Y</text>\n";
  svg += "<circle id=\"origin\" cx=\"" + ox + "\" cy=\"" + oy +
         "\" r=\"4\" fill=\"none\" stroke=\"#404040\"/>\n";
  svg += "<text x=\"" + SvgNumber(page.X(0) + 6) + "\" y=\"" + SvgNumber(page.Y(0) + 16) +
         "\" stroke=\"none\">0,0</text>\n";
  return svg + "</g>\n";
}

// The area the cutter sweeps: the path drawn as wide as the cutter. Where the contour is known,
// the part on the side the cutter must not reach (outside, or inside for an outside profile) is
// drawn in the warning colour. Each part is drawn opaque and then made translucent as a whole,
// which looks as one translucent stroke does and is drawn in pieces.
std::string DrawSweptArea(const PageMapping& page, const std::vector<std::string>& pieces,
                          double tool, const std::string& contourData, bool outside) {
  const std::string wide = " stroke-width=\"" + SvgNumber(page.Length(2 * tool)) +
                           "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
  const auto group = [&](const Style& style, const std::string& extra) {
    std::string attributes = style.attributes;
    attributes.replace(attributes.find("stroke-opacity="), 15, "opacity=");
    return PiecesGroup(style, pieces, attributes + wide + extra);
  };
  if (contourData.empty()) return group(kSwept, "");
  return "<defs><clipPath id=\"inside\"><path d=\"" + contourData +
         "\"/></clipPath><mask id=\"outside\" maskUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" "
         "width=\"100%\" height=\"100%\"><rect width=\"100%\" height=\"100%\" "
         "fill=\"#ffffff\"/><path d=\"" +
         contourData + "\" fill=\"#000000\"/></mask></defs>\n" +
         group(outside ? kSweptInside : kSwept, " clip-path=\"url(#inside)\"") +
         group(outside ? kSwept : kSweptOutside, " mask=\"url(#outside)\"");
}

// The moves as they are drawn, each from where the one before left the tool.
struct DrawnMoves {
  std::vector<ToolMove> cuts;     // across at one height
  std::vector<ToolMove> ramps;    // across while going down or up
  std::vector<ToolMove> rapids;   // across at the rapid rate
  std::vector<ToolMove> plunges;  // straight down
  std::vector<ToolPoint> holes;   // each at its bottom, in drilling order
  int passes = 0;                 // how often the tool goes down into the material
  int closedPaths = 0;
  double deepest = std::numeric_limits<double>::infinity();
  double cutLength = 0.0;
};

// A place where the tool went straight down and, without moving across below, went away again:
// a hole, drilled by a cycle or move by move. The same hole is drawn as either.
struct HoleBeingDrilled {
  ToolPoint bottom;
  std::size_t plunges;  // the plunges drawn before it
  int passes;           // and the passes counted
};

DrawnMoves Sort(const std::vector<ToolMove>& moves) {
  DrawnMoves drawn;
  std::vector<ToolMove> followed;  // each move from where the one before ended
  followed.reserve(moves.size());
  ToolPoint at = kUnknownPoint;
  bool goingDown = false;
  // The tool rose since it last went down: over a holding tab, which it goes down from again
  // within the same pass.
  bool rose = false;
  std::optional<HoleBeingDrilled> hole;
  const auto holeDrilled = [&] {
    if (!hole) return;
    drawn.plunges.resize(hole->plunges);
    drawn.passes = hole->passes;
    drawn.holes.push_back(hole->bottom);
    drawn.deepest = std::min(drawn.deepest, static_cast<double>(hole->bottom.z));
    hole.reset();
  };
  for (ToolMove move : moves) {
    if (move.kind == MoveKind::Dwell) continue;
    move.from = at;
    // A move that does not say where it goes across stays where the one before left the tool:
    // "G0 Z5" at the start of a job's next operation.
    if (std::isnan(move.to.x)) move.to.x = at.x;
    if (std::isnan(move.to.y)) move.to.y = at.y;
    if (move.kind == MoveKind::Drill) {
      // The cycle's way across, at the height it starts from and returns to.
      holeDrilled();
      ToolMove across = move;
      across.kind = MoveKind::Rapid;
      across.to.z = move.from.z;
      if (!(move.from.x == move.to.x && move.from.y == move.to.y) && std::isfinite(move.from.x)) {
        drawn.rapids.push_back(across);
      }
      hole = HoleBeingDrilled{move.to, drawn.plunges.size(), drawn.passes};
      holeDrilled();
      at = across.to;
      goingDown = rose = false;
      continue;
    }
    at = move.to;
    const int passesBefore = drawn.passes;
    followed.push_back(move);
    const bool across = !(move.from.x == move.to.x && move.from.y == move.to.y) || IsArc(move);
    const bool down = move.to.z < move.from.z;
    const bool up = move.to.z > move.from.z;
    if (move.kind == MoveKind::Rapid) {
      rose = false;
    } else if (up) {
      rose = true;
    } else if (down && !goingDown) {
      if (!rose) ++drawn.passes;
      rose = false;
    }
    goingDown = down && move.kind != MoveKind::Rapid;
    if (move.kind == MoveKind::Rapid) {
      if (across) holeDrilled();
      if (across && std::isfinite(move.from.x)) drawn.rapids.push_back(move);
      continue;
    }
    if (!across) {
      if (down) {
        if (!hole) hole = HoleBeingDrilled{move.to, drawn.plunges.size(), passesBefore};
        if (move.to.z < hole->bottom.z) hole->bottom = move.to;
        drawn.plunges.push_back(move);
      }
      continue;
    }
    hole.reset();  // it went down into a path
    (move.from.z == move.to.z ? drawn.cuts : drawn.ramps).push_back(move);
    drawn.deepest = std::min(drawn.deepest, static_cast<double>(move.to.z));
    drawn.cutLength += MoveLength(move);
  }
  holeDrilled();
  drawn.closedPaths = CountClosedPaths(followed);
  return drawn;
}

std::vector<std::string> LegendLines(const ToolpathRecording& toolpath,
                                     const PreviewContext& context, const DrawnMoves& drawn,
                                     const PageMapping& page) {
  std::vector<std::string> lines{XmlText(toolpath.title())};
  const double tool = context.toolRadius.value_or(0.0);
  if (context.job) {
    const JobParameters& job = *context.job;
    lines.push_back("centre X " + JobNumber(job.CenterX, context.units) + ", Y " +
                    JobNumber(job.CenterY, context.units));
    const Operation& operation = OperationOf(job.ShapeKind);
    for (std::string& line :
         operation.sizes(job, [&](double length) { return JobNumber(length, context.units); })) {
      lines.push_back(std::move(line));
    }
    if (operation.outlines()) {
      lines.push_back(job.Fill          ? "Fill: pocket cleared in rings"
                      : context.outside ? "outline, cut from outside"
                                        : "outline");
      std::vector<ToolMove> cutting = drawn.cuts;
      cutting.insert(cutting.end(), drawn.ramps.begin(), drawn.ramps.end());
      if (CutterCrossesContour(ContourOf(job), cutting, tool, context.outside)) {
        lines.push_back(context.outside ? "The cutter enters the shape."
                                        : "The cutter leaves the contour.");
      }
    }
  }
  lines.push_back(context.toolRadius ? "tool radius " + JobNumber(tool, context.units)
                                     : "tool radius not known (give --tool-radius)");
  lines.push_back(std::isfinite(drawn.deepest) ? "depth " + JobNumber(drawn.deepest, context.units)
                                               : "no cut at depth");
  if (!drawn.holes.empty()) lines.push_back("holes " + std::to_string(drawn.holes.size()));
  const bool cuts = !(drawn.cuts.empty() && drawn.ramps.empty());
  if (cuts || drawn.holes.empty()) lines.push_back("passes " + std::to_string(drawn.passes));
  if (!context.tabs.empty()) {
    lines.push_back("holding tabs " + std::to_string(context.tabs.size()) + ", width " +
                    JobNumber(context.tabSizes.width, context.units) + ", height " +
                    JobNumber(context.tabSizes.height, context.units) +
                    (context.tabBases.empty()
                         ? ""
                         : ", sides at " + JobNumber(context.tabSizes.angle) + " degrees"));
  }
  if (cuts || drawn.holes.empty()) {
    lines.push_back("closed paths (rings) " + std::to_string(drawn.closedPaths));
    lines.push_back("cut length " + JobNumber(drawn.cutLength, context.units) +
                    (context.lengthUnit.empty() ? "" : " " + context.lengthUnit));
  }
  if (context.runTime) {
    lines.push_back("run time " + HoursMinutesSeconds(context.runTime->total()));
  }
  lines.push_back("1 unit = " + ScaleText(page.scale()) + " px; Y points up");
  return lines;
}

std::string DrawLegend(const std::vector<std::string>& lines, const std::vector<Style>& keys) {
  const std::string x = SvgNumber(kDrawingSize + 2 * kMargin);
  std::string svg =
      "<g id=\"legend\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#202020\">\n";
  double y = kMargin + 14;
  for (const std::string& line : lines) {
    svg += "<text x=\"" + x + "\" y=\"" + SvgNumber(y) + "\">" + line + "</text>\n";
    y += kLineHeight;
  }
  y += 10;
  for (const Style& key : keys) {
    // A sample of each part as the drawing shows it; a line without a width of its own is drawn
    // wide enough to see.
    const bool dot = key.id == kPlunge.id || key.id == kHole.id;
    svg += dot ? "<circle cx=\"" + SvgNumber(kDrawingSize + 2 * kMargin + 15) + "\" cy=\"" +
                     SvgNumber(y - 4) + "\" r=\"" + (key.id == kHole.id ? "7" : "3") + "\" " +
                     key.attributes + "/>\n"
               : "<g stroke-width=\"10\"><path d=\"M" + x + " " + SvgNumber(y - 4) + " h30\" " +
                     key.attributes + "/></g>\n";
    svg += "<text x=\"" + SvgNumber(kDrawingSize + 2 * kMargin + 40) + "\" y=\"" + SvgNumber(y) +
           "\">" + key.label + "</text>\n";
    y += kLineHeight;
  }
  return svg + "</g>\n";
}

// Each hole as the drill's disc (a dot where its size is not known), numbered in drilling order.
std::string DrawHoles(const PageMapping& page, const std::vector<ToolPoint>& holes, double tool,
                      const Style& style = kHole) {
  const double radius = tool > 0 ? std::max(page.Length(tool), 2.0) : 4.0;
  std::string svg = "<g id=\"" + std::string(style.id) + "\" " + style.attributes + ">\n";
  for (const ToolPoint& hole : holes) {
    svg += "<circle cx=\"" + SvgNumber(page.X(hole.x)) + "\" cy=\"" + SvgNumber(page.Y(hole.y)) +
           "\" r=\"" + SvgNumber(radius) + "\"/>\n";
  }
  svg += "</g>\n";
  if (holes.size() > kMostNumberedHoles) return svg;
  const double size = std::clamp(radius, 9.0, 14.0);
  svg += "<g id=\"hole-numbers\" font-family=\"sans-serif\" font-size=\"" + SvgNumber(size) +
         "\" fill=\"#202020\" text-anchor=\"middle\">\n";
  for (std::size_t k = 0; k < holes.size(); ++k) {
    // Beside the disc, up and to the right, where the travels seldom run.
    const double offset = radius * 0.75 + 2;
    svg += "<text x=\"" + SvgNumber(page.X(holes[k].x) + offset) + "\" y=\"" +
           SvgNumber(page.Y(holes[k].y) - offset) + "\">" + std::to_string(k + 1) + "</text>\n";
  }
  return svg + "</g>\n";
}

// Where the drawing lies on the page: the moves and the cutter round them, and nothing the moves
// cannot tell; the origin too, unless it would shrink the work to a speck.
struct View {
  PageMapping page;
  bool originShown;
};

// The moves of each cutter, with its radius.
struct ToolLayer {
  int tool = 0;
  double radius = 0.0;
  std::vector<ToolMove> moves;
  DrawnMoves drawn;
  std::string operations;  // their numbers: "1, 2"
};

View ViewOf(const std::vector<ToolLayer>& layers) {
  Box view;
  for (const ToolLayer& layer : layers) {
    const DrawnMoves& drawn = layer.drawn;
    const double tool = std::fabs(layer.radius);
    for (const std::vector<ToolMove>* moves : {&drawn.cuts, &drawn.ramps, &drawn.rapids}) {
      for (const ToolMove& move : *moves) {
        view.Add(move.from.x, move.from.y, tool);
        view.Add(move.to.x, move.to.y, tool);
        if (IsArc(move)) view.Add(move.centerX, move.centerY, ArcRadius(move) + tool);
      }
    }
    for (const ToolMove& plunge : drawn.plunges) view.Add(plunge.to.x, plunge.to.y, tool);
    for (const ToolPoint& hole : drawn.holes) view.Add(hole.x, hole.y, tool);
  }
  if (view.Empty()) view.Add(0, 0, 1);
  Box withOrigin = view;
  withOrigin.Add(0, 0);
  const bool originShown = withOrigin.Extent() <= 4 * view.Extent();
  return {PageMapping(originShown ? withOrigin : view), originShown};
}

// The page's head: its size, where the drawing lies on it, its title, its white and its axes.
std::string PageHead(const View& view, const std::string& title) {
  const PageMapping& page = view.page;
  const std::string pageWidth = SvgNumber(kDrawingSize + 2 * kMargin + kLegendWidth);
  const std::string pageHeight = SvgNumber(kDrawingSize + 2 * kMargin);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + pageWidth + "\" height=\"" +
         pageHeight + "\" viewBox=\"0 0 " + pageWidth + " " + pageHeight + "\"" +
         page.DataAttributes() + ">\n";
  svg += "<title>" + XmlText(title) + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  return svg + DrawAxes(page, view.originShown);
}

std::string DrawPlunges(const PageMapping& page, const std::vector<ToolMove>& plunges) {
  std::string svg = "<g id=\"" + std::string(kPlunge.id) + "\" " + kPlunge.attributes + ">\n";
  for (const ToolMove& plunge : plunges) {
    svg += "<circle cx=\"" + SvgNumber(page.X(plunge.to.x)) + "\" cy=\"" +
           SvgNumber(page.Y(plunge.to.y)) + "\" r=\"3\"/>\n";
  }
  return svg + "</g>\n";
}

// Round ends where one piece meets the next draw the same round joint as one path would.
constexpr const char* kRoundJoints = " stroke-linecap=\"round\" stroke-linejoin=\"round\"";

// A legend's text in lines that fit beside the drawing, broken at blanks, the lines after the
// first indented.
std::vector<std::string> Wrapped(const std::string& text) {
  constexpr std::size_t kWidest = 40;
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + word.size() > kWidest) {
      lines.push_back(line);
      line = "    " + word;
    } else {
      line += (line.empty() ? "" : " ") + word;
    }
    start = end + 1;
  }
  lines.push_back(line);
  return lines;
}

// A job of several operations: each cutter's moves in a colour of their own.
// The moves of a job's operations gathered by their tools, in the order the tools come.
std::vector<ToolLayer> ToolLayers(const std::vector<ToolMove>& moves,
                                  const std::vector<PreviewOperation>& operations) {
  std::vector<ToolLayer> layers;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    const PreviewOperation& operation = operations[i];
    auto layer = std::find_if(layers.begin(), layers.end(),
                              [&](const ToolLayer& l) { return l.tool == operation.tool; });
    if (layer == layers.end()) {
      layer = layers.insert(layers.end(), ToolLayer());
      layer->tool = operation.tool;
    }
    layer->radius = std::max(layer->radius, operation.toolRadius);
    layer->operations += (layer->operations.empty() ? "" : ", ") + std::to_string(i + 1);
    const std::size_t end = i + 1 < operations.size() ? operations[i + 1].firstMove : moves.size();
    const std::size_t begin = std::min(operation.firstMove, moves.size());
    layer->moves.insert(layer->moves.end(), moves.begin() + static_cast<std::ptrdiff_t>(begin),
                        moves.begin() + static_cast<std::ptrdiff_t>(std::max(begin, end)));
  }
  for (ToolLayer& layer : layers) layer.drawn = Sort(layer.moves);
  return layers;
}

// A job's legend: its title, its operations with their tools, and its totals.
std::vector<std::string> OperationsLegend(const ToolpathRecording& toolpath,
                                          const PreviewContext& context,
                                          const std::vector<ToolLayer>& layers,
                                          const PageMapping& page) {
  double deepest = std::numeric_limits<double>::infinity(), cutLength = 0.0;
  std::size_t holes = 0;
  for (const ToolLayer& layer : layers) {
    deepest = std::min(deepest, layer.drawn.deepest);
    cutLength += layer.drawn.cutLength;
    holes += layer.drawn.holes.size();
  }
  std::vector<std::string> lines;
  const auto wrapped = [&lines](const std::string& text) {
    for (const std::string& line : Wrapped(text)) lines.push_back(XmlText(line));
  };
  wrapped(context.title.value_or(toolpath.title()));
  for (std::size_t i = 0; i < context.operations.size(); ++i) {
    const PreviewOperation& operation = context.operations[i];
    wrapped(std::to_string(i + 1) + ": " + operation.title + ", tool " +
            std::to_string(operation.tool));
  }
  lines.push_back(std::isfinite(deepest) ? "deepest " + JobNumber(deepest, context.units)
                                         : "no cut at depth");
  if (holes > 0) lines.push_back("holes " + std::to_string(holes));
  lines.push_back("cut length " + JobNumber(cutLength, context.units) +
                  (context.lengthUnit.empty() ? "" : " " + context.lengthUnit));
  if (context.runTime) {
    lines.push_back("run time " + HoursMinutesSeconds(context.runTime->total()));
  }
  lines.push_back("1 unit = " + ScaleText(page.scale()) + " px; Y points up");
  return lines;
}

std::string DrawOperationsSvg(const ToolpathRecording& toolpath, const PreviewContext& context) {
  static constexpr const char* kToolColours[] = {"#10407a", "#b03a2e", "#1e8449", "#7d3c98",
                                                 "#b9770e", "#117a65", "#6e2c00", "#2e4053"};
  const std::vector<ToolLayer> layers = ToolLayers(toolpath.moves(), context.operations);
  const View view = ViewOf(layers);
  const PageMapping& page = view.page;
  std::string svg = PageHead(view, context.title.value_or(toolpath.title()));

  // Each layer's looks, kept here for the styles that point into them.
  std::deque<std::string> inks;
  const auto ink = [&inks](std::string text) { return inks.emplace_back(std::move(text)).c_str(); };
  std::vector<Style> keys;
  for (const PreviewOperation& operation : context.operations) {
    svg += Element(kContour, "path", "d=\"" + ContourData(page, ContourOf(operation.job)) + "\"");
  }
  std::vector<ToolMove> rapids, plunges;
  std::string cutting;
  for (std::size_t k = 0; k < layers.size(); ++k) {
    const ToolLayer& layer = layers[k];
    const DrawnMoves& drawn = layer.drawn;
    const std::string colour = kToolColours[k % std::size(kToolColours)];
    const std::string tool = "tool " + std::to_string(layer.tool);
    const Style cut{ink("cuts-tool-" + std::to_string(layer.tool)),
                    ink("fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\""),
                    ink(tool + " (operation " + layer.operations + "): cut")};
    const Style hole{ink("holes-tool-" + std::to_string(layer.tool)),
                     ink("fill=\"" + colour + "\" fill-opacity=\"0.25\" stroke=\"" + colour +
                         "\" stroke-width=\"1.5\""),
                     ink(tool + ": holes, in drilling order")};
    std::vector<std::string> pieces = PathPieces(page, drawn.cuts);
    const std::vector<std::string> rampPieces = PathPieces(page, drawn.ramps);
    if (layer.radius > 0 && !(pieces.empty() && rampPieces.empty())) {
      std::vector<std::string> swept = pieces;
      swept.insert(swept.end(), rampPieces.begin(), rampPieces.end());
      const Style sweep{
          ink("swept-tool-" + std::to_string(layer.tool)),
          ink("fill=\"none\" stroke=\"" + colour + "\" opacity=\"0.2\" " + "stroke-width=\"" +
              SvgNumber(page.Length(2 * layer.radius)) + "\"" + kRoundJoints),
          nullptr};
      svg += PiecesGroup(sweep, swept, sweep.attributes);
    }
    if (!pieces.empty()) {
      cutting += PiecesGroup(cut, pieces, std::string(cut.attributes) + kRoundJoints);
      keys.push_back(cut);
    }
    if (!rampPieces.empty()) {
      cutting += PiecesGroup(kRamp, rampPieces, std::string(kRamp.attributes) + kRoundJoints);
    }
    if (!drawn.holes.empty()) {
      cutting += DrawHoles(page, drawn.holes, layer.radius, hole);
      keys.push_back(hole);
    }
    rapids.insert(rapids.end(), drawn.rapids.begin(), drawn.rapids.end());
    plunges.insert(plunges.end(), drawn.plunges.begin(), drawn.plunges.end());
  }
  if (!rapids.empty()) {
    svg += Element(kRapid, "path", "d=\"" + PathData(page, rapids) + "\"");
    keys.push_back(kRapid);
  }
  svg += cutting;
  if (!plunges.empty()) {
    svg += DrawPlunges(page, plunges);
    keys.push_back(kPlunge);
  }
  keys.push_back(kContour);

  svg += DrawLegend(OperationsLegend(toolpath, context, layers, page), keys);
  return svg + "</svg>\n";
}

}  // namespace

std::string DrawToolpathSvg(const ToolpathRecording& toolpath, const PreviewContext& context) {
  if (!context.operations.empty()) return DrawOperationsSvg(toolpath, context);
  ToolLayer only;
  only.drawn = Sort(toolpath.moves());
  only.radius = context.toolRadius.value_or(0.0);
  const DrawnMoves& drawn = only.drawn;
  const double tool = only.radius;
  const View view = ViewOf({only});
  const PageMapping& page = view.page;
  std::string svg = PageHead(view, toolpath.title());

  std::vector<Style> keys;
  if (!drawn.cuts.empty() || drawn.holes.empty()) keys.push_back(kCut);
  const std::string contourData = context.job ? ContourData(page, ContourOf(*context.job)) : "";
  if (context.job) svg += Element(kContour, "path", "d=\"" + contourData + "\"");
  const std::vector<std::string> cutPieces = PathPieces(page, drawn.cuts);
  const std::vector<std::string> rampPieces = PathPieces(page, drawn.ramps);
  if (tool > 0 && !(drawn.cuts.empty() && drawn.ramps.empty())) {
    std::vector<std::string> swept = cutPieces;
    swept.insert(swept.end(), rampPieces.begin(), rampPieces.end());
    // Only an outline must keep to its contour; a facing runs past its stock's edges.
    const bool keepsToContour = context.job && OperationOf(context.job->ShapeKind).outlines();
    svg += DrawSweptArea(page, swept, tool, keepsToContour ? contourData : "", context.outside);
    keys.push_back(kSwept);
    if (keepsToContour) keys.push_back(context.outside ? kSweptInside : kSweptOutside);
  }
  if (!drawn.rapids.empty()) {
    svg += Element(kRapid, "path", "d=\"" + PathData(page, drawn.rapids) + "\"");
    keys.push_back(kRapid);
  }
  if (!cutPieces.empty()) {
    svg += PiecesGroup(kCut, cutPieces, std::string(kCut.attributes) + kRoundJoints);
  }
  if (!rampPieces.empty()) {
    svg += PiecesGroup(kRamp, rampPieces, std::string(kRamp.attributes) + kRoundJoints);
    keys.push_back(kRamp);
  }
  if (!drawn.plunges.empty()) {
    svg += DrawPlunges(page, drawn.plunges);
    keys.push_back(kPlunge);
  }
  if (!drawn.holes.empty()) {
    svg += DrawHoles(page, drawn.holes, tool);
    keys.push_back(kHole);
  }
  const auto drawStretches = [&](const Style& style,
                                 const std::vector<std::vector<ToolMove>>& stretches) {
    if (stretches.empty()) return;
    svg += "<g id=\"" + std::string(style.id) + "\" " + style.attributes + ">\n";
    for (const std::vector<ToolMove>& stretch : stretches) {
      svg += "<path d=\"" + PathData(page, stretch) + "\"/>\n";
    }
    svg += "</g>\n";
    keys.push_back(style);
  };
  drawStretches(kTabSlope, context.tabBases);
  drawStretches(kTab, context.tabs);
  if (context.job) keys.push_back(kContour);

  svg += DrawLegend(LegendLines(toolpath, context, drawn, page), keys);
  return svg + "</svg>\n";
}

}  // namespace quorrel
