#include "cli/toolpath_preview.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "gcode/number_text.h"
#include "gcode/round3.h"

namespace quorrel::cli {
namespace {

constexpr double kDrawingSize = 600;  // px, the square the drawing fits in
constexpr double kMargin = 40;        // px around it
constexpr double kLegendWidth = 300;  // px to the right

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
};

// Number text for SVG attributes: plain, two decimals, never the locale's.
std::string Num(double value) {
  if (!std::isfinite(value)) value = 0;
  char text[400];
  std::string result(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr);
  if (result == "-0.00") result = "0.00";
  return result;
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

double ArcRadius(const ToolMove& move) {
  return std::hypot(move.from.x - move.centreX, move.from.y - move.centreY);
}

// The angle an arc turns through, counter-clockwise: up to a whole turn when it ends where it
// began.
double ArcSpan(const ToolMove& move) {
  const double start = std::atan2(move.from.y - move.centreY, move.from.x - move.centreX);
  const double end = std::atan2(move.to.y - move.centreY, move.to.x - move.centreX);
  const double span = std::fmod(end - start + 4 * std::numbers::pi, 2 * std::numbers::pi);
  return span == 0 && ArcRadius(move) > 0 ? 2 * std::numbers::pi : span;
}

// Maps machine coordinates to the page: Y up on the machine, down on the page.
class PageMapping {
 public:
  PageMapping(const Box& view) {
    const double extent = std::max({view.Width(), view.Height(), 1e-3});
    scale_ = kDrawingSize / extent;
    left_ = view.left - (extent - view.Width()) / 2;
    top_ = view.top + (extent - view.Height()) / 2;
  }
  double X(double x) const { return kMargin + (x - left_) * scale_; }
  double Y(double y) const { return kMargin + (top_ - y) * scale_; }
  double Length(double length) const { return length * scale_; }
  double scale() const { return scale_; }
  // The machine coordinates of the page's drawing corner, for anyone measuring the picture.
  double left() const { return left_; }
  double top() const { return top_; }

 private:
  double scale_ = 1, left_ = 0, top_ = 0;
};

std::string Point(const PageMapping& page, double x, double y) {
  return Num(page.X(x)) + " " + Num(page.Y(y));
}

// SVG path data of one arc move, counter-clockwise on the machine, so clockwise on the page.
std::string ArcData(const PageMapping& page, const ToolMove& move) {
  const double radius = ArcRadius(move);
  const double span = ArcSpan(move);
  const std::string r = Num(page.Length(radius));
  if (span == 2 * std::numbers::pi) {
    // A whole circle: two halves through the point opposite the start.
    const double ox = 2 * move.centreX - move.from.x;
    const double oy = 2 * move.centreY - move.from.y;
    return " A" + r + " " + r + " 0 0 0 " + Point(page, ox, oy) + " A" + r + " " + r + " 0 0 0 " +
           Point(page, move.to.x, move.to.y);
  }
  const bool large = span > std::numbers::pi;
  return " A" + r + " " + r + " 0 " + (large ? "1" : "0") + " 0 " +
         Point(page, move.to.x, move.to.y);
}

std::string ContourData(const PageMapping& page, const JobParameters& job) {
  const double x0 = job.CenterX, y0 = job.CenterY;
  if (job.ShapeKind == ShapeKind::Circle) {
    const double r = std::fabs(job.CornerRadius);
    const std::string radius = Num(page.Length(r));
    return "M" + Point(page, x0 - r, y0) + " A" + radius + " " + radius + " 0 0 0 " +
           Point(page, x0 + r, y0) + " A" + radius + " " + radius + " 0 0 0 " +
           Point(page, x0 - r, y0) + " Z";
  }
  const double w = std::fabs(job.Width) / 2, h = std::fabs(job.Height) / 2;
  const double r = job.ShapeKind == ShapeKind::RoundedRectangle
                       ? std::clamp(job.CornerRadius, 0.0, std::min(w, h))
                       : 0.0;
  const std::string radius = Num(page.Length(r));
  const std::string corner = " A" + radius + " " + radius + " 0 0 0 ";
  return "M" + Point(page, x0 - w + r, y0 - h) + " L" + Point(page, x0 + w - r, y0 - h) + corner +
         Point(page, x0 + w, y0 - h + r) + " L" + Point(page, x0 + w, y0 + h - r) + corner +
         Point(page, x0 + w - r, y0 + h) + " L" + Point(page, x0 - w + r, y0 + h) + corner +
         Point(page, x0 - w, y0 + h - r) + " L" + Point(page, x0 - w, y0 - h + r) + corner +
         Point(page, x0 - w + r, y0 - h) + " Z";
}

bool AtDepth(const ToolMove& move, double depth) {
  return move.kind != MoveKind::Rapid && move.from.z == depth && move.to.z == depth;
}

double MoveLength(const ToolMove& move) {
  if (move.kind != MoveKind::ArcCounterClockwise) {
    return std::hypot(move.to.x - move.from.x, move.to.y - move.from.y);
  }
  return ArcRadius(move) * ArcSpan(move);
}

// The closed loops the tool runs at depth: the outline, or each ring of a pocket.
int CountLoops(const std::vector<ToolMove>& cuts) {
  int loops = 0;
  std::vector<const ToolPoint*> visited;
  for (const ToolMove& move : cuts) {
    if (move.from.x == move.to.x && move.from.y == move.to.y) continue;
    if (visited.empty()) visited.push_back(&move.from);
    const bool closes = std::any_of(visited.begin(), visited.end(), [&](const ToolPoint* p) {
      return p->x == move.to.x && p->y == move.to.y;
    });
    if (closes && visited.size() >= 2) {
      ++loops;
      visited.clear();
      visited.push_back(&move.to);
    } else {
      visited.push_back(&move.to);
    }
  }
  return loops;
}

std::string Coord(double value) {
  return FormatNumberPlain(Round3(value), ".");
}

}  // namespace

std::string DrawToolpathSvg(const ReadBackProgram& program, const PreviewContext& context) {
  const std::vector<ToolMove>& moves = program.moves;
  // The depth is where the plunge goes: the first feed move.
  double depth = std::numeric_limits<double>::quiet_NaN();
  const auto plunge = std::find_if(
      moves.begin(), moves.end(), [](const ToolMove& move) { return move.kind == MoveKind::Feed; });
  if (plunge != moves.end()) depth = plunge->to.z;
  std::vector<ToolMove> cuts;
  for (const ToolMove& move : moves) {
    if (AtDepth(move, depth)) cuts.push_back(move);
  }
  const double tool = context.toolRadius.value_or(0.0);

  Box view;
  for (const ToolMove& move : moves) {
    view.Add(move.to.x, move.to.y, std::fabs(tool));
    if (move.kind == MoveKind::ArcCounterClockwise) {
      view.Add(move.centreX, move.centreY, ArcRadius(move) + std::fabs(tool));
    }
  }
  if (context.job) {
    const JobParameters& job = *context.job;
    const double w = job.ShapeKind == ShapeKind::Circle ? job.CornerRadius : job.Width / 2;
    const double h = job.ShapeKind == ShapeKind::Circle ? job.CornerRadius : job.Height / 2;
    view.Add(job.CenterX, job.CenterY, std::max(std::fabs(w), std::fabs(h)));
  }
  if (view.Empty()) view.Add(0, 0, 1);
  // The origin belongs in the picture unless it would shrink the work to a speck.
  Box withOrigin = view;
  withOrigin.Add(0, 0);
  const bool originShown = std::max(withOrigin.Width(), withOrigin.Height()) <=
                           4 * std::max({view.Width(), view.Height(), 1e-3});
  const PageMapping page(originShown ? withOrigin : view);

  std::string svg;
  const double pageWidth = kDrawingSize + 2 * kMargin + kLegendWidth;
  const double pageHeight = kDrawingSize + 2 * kMargin;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(pageWidth) + "\" height=\"" +
         Num(pageHeight) + "\" viewBox=\"0 0 " + Num(pageWidth) + " " + Num(pageHeight) +
         "\" data-scale=\"" + std::to_string(page.scale()) + "\" data-left=\"" +
         std::to_string(page.left()) + "\" data-top=\"" + std::to_string(page.top()) +
         "\" data-margin=\"" + Num(kMargin) + "\">\n";
  svg += "<title>" + XmlText(program.comment) + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";

  // Axes through the origin, or a note where it lies outside the picture.
  svg +=
      "<g id=\"axes\" stroke=\"#9a9a9a\" stroke-width=\"1\" font-family=\"sans-serif\" "
      "font-size=\"12\" fill=\"#6a6a6a\">\n";
  if (originShown) {
    const double ox = page.X(0), oy = page.Y(0);
    const double low = kMargin, high = kMargin + kDrawingSize;
    svg += "<path d=\"M" + Num(low) + " " + Num(oy) + " H" + Num(high) + " M" + Num(ox) + " " +
           Num(high) + " V" + Num(low) + "\"/>\n";
    svg += "<path d=\"M" + Num(high) + " " + Num(oy) + " l-8 -4 v8 Z M" + Num(ox) + " " + Num(low) +
           " l-4 8 h8 Z\" fill=\"#9a9a9a\"/>\n";
    svg +=
        "<text x=\"" + Num(high - 12) + "\" y=\"" + Num(oy - 8) + "\" stroke=\"none\">X</text>\n";
    svg += "<text x=\"" + Num(ox + 8) + "\" y=\"" + Num(low + 12) + "\" stroke=\"none\">Y</text>\n";
    svg += "<circle id=\"origin\" cx=\"" + Num(ox) + "\" cy=\"" + Num(oy) +
           "\" r=\"4\" fill=\"none\" stroke=\"#404040\"/>\n";
    svg +=
        "<text x=\"" + Num(ox + 6) + "\" y=\"" + Num(oy + 16) + "\" stroke=\"none\">0,0</text>\n";
  } else {
    svg += "<text id=\"origin\" x=\"" + Num(kMargin) + "\" y=\"" + Num(kMargin - 12) +
           "\" stroke=\"none\">The origin (0, 0) lies outside this picture.</text>\n";
  }
  svg += "</g>\n";

  if (context.job) {
    svg += "<path id=\"contour\" d=\"" + ContourData(page, *context.job) +
           "\" fill=\"none\" stroke=\"#202020\" stroke-width=\"1\"/>\n";
  }

  // The cutting path as one continuous line: moves at depth, in order.
  std::string cutData;
  ToolPoint at{std::numeric_limits<double>::quiet_NaN(), 0, 0};
  for (const ToolMove& move : cuts) {
    if (!(move.from.x == at.x && move.from.y == at.y)) {
      cutData += "M" + Point(page, move.from.x, move.from.y);
    }
    cutData += move.kind == MoveKind::ArcCounterClockwise
                   ? ArcData(page, move)
                   : " L" + Point(page, move.to.x, move.to.y);
    at = move.to;
  }
  if (tool > 0 && !cuts.empty()) {
    svg += "<path id=\"swept\" d=\"" + cutData +
           "\" fill=\"none\" stroke=\"#3a7bd5\" "
           "stroke-opacity=\"0.25\" stroke-width=\"" +
           Num(page.Length(2 * tool)) + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n";
  }
  std::string rapidData;
  for (const ToolMove& move : moves) {
    if (move.kind == MoveKind::Rapid && std::isfinite(move.from.x)) {
      rapidData +=
          "M" + Point(page, move.from.x, move.from.y) + " L" + Point(page, move.to.x, move.to.y);
    }
  }
  if (!rapidData.empty()) {
    svg += "<path id=\"rapids\" d=\"" + rapidData +
           "\" fill=\"none\" stroke=\"#d03030\" "
           "stroke-width=\"1\" stroke-dasharray=\"6 4\"/>\n";
  }
  if (!cutData.empty()) {
    svg += "<path id=\"cuts\" d=\"" + cutData +
           "\" fill=\"none\" stroke=\"#10407a\" "
           "stroke-width=\"1.5\" stroke-linejoin=\"round\"/>\n";
  }
  // Where the tool goes down into the work.
  if (plunge != moves.end()) {
    svg += "<circle id=\"plunge\" cx=\"" + Num(page.X(plunge->to.x)) + "\" cy=\"" +
           Num(page.Y(plunge->to.y)) + "\" r=\"3\" fill=\"#d03030\"/>\n";
  }

  // The legend.
  double cutLength = 0, rapidLength = 0;
  for (const ToolMove& move : cuts) cutLength += MoveLength(move);
  for (const ToolMove& move : moves) {
    if (move.kind == MoveKind::Rapid && std::isfinite(move.from.x)) rapidLength += MoveLength(move);
  }
  std::vector<std::string> lines{XmlText(program.comment)};
  if (context.job) {
    const JobParameters& job = *context.job;
    lines.push_back("centre X " + Coord(job.CenterX) + ", Y " + Coord(job.CenterY));
    if (job.ShapeKind == ShapeKind::Circle) {
      lines.push_back("radius " + Coord(job.CornerRadius));
    } else {
      lines.push_back("width " + Coord(job.Width) + ", height " + Coord(job.Height));
      if (job.ShapeKind == ShapeKind::RoundedRectangle) {
        lines.push_back("corner radius " + Coord(job.CornerRadius));
      }
    }
    lines.push_back(job.Fill ? "Fill: pocket cleared in rings" : "outline");
  }
  lines.push_back(context.toolRadius ? "tool radius " + Coord(tool)
                                     : "tool radius not known (give --tool-radius)");
  lines.push_back(std::isfinite(depth) ? "depth " + Coord(depth) : "no cut at depth");
  lines.push_back("closed paths (rings) " + std::to_string(CountLoops(cuts)));
  lines.push_back("cut length " + Coord(cutLength));
  lines.push_back("rapid length " + Coord(rapidLength));
  lines.push_back("1 unit = " + Num(page.scale()) + " px; Y points up");

  const double legendX = kDrawingSize + 2 * kMargin;
  svg += "<g id=\"legend\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#202020\">\n";
  double y = kMargin + 14;
  for (const std::string& line : lines) {
    svg += "<text x=\"" + Num(legendX) + "\" y=\"" + Num(y) + "\">" + line + "</text>\n";
    y += 20;
  }
  y += 10;
  const struct {
    const char* label;
    const char* style;
  } keys[] = {
      {"cut (tool centre)", "stroke=\"#10407a\" stroke-width=\"1.5\""},
      {"rapid move", "stroke=\"#d03030\" stroke-dasharray=\"6 4\""},
      {"area the cutter sweeps", "stroke=\"#3a7bd5\" stroke-opacity=\"0.25\" stroke-width=\"10\""},
      {"contour", "stroke=\"#202020\""},
  };
  for (const auto& key : keys) {
    svg += "<path d=\"M" + Num(legendX) + " " + Num(y - 4) + " h30\" " + key.style + "/>\n";
    svg += "<text x=\"" + Num(legendX + 40) + "\" y=\"" + Num(y) + "\">" + key.label + "</text>\n";
    y += 20;
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace quorrel::cli
