#include "gcode/shapes/program_title.h"

#include "gcode/numbers/number_text.h"

namespace quorrel {
namespace {

// Appends a field text with the characters that would end a comment or its line blanked; a NUL,
// which a controller may take for the end of its file, with them.
void AppendBlanked(std::string& title, std::string_view text) {
  const std::size_t start = title.size();
  title += text;
  for (std::size_t i = start; i < title.size(); ++i) {
    const char c = title[i];
    if (c == '\r' || c == '\n' || c == '(' || c == ')' || c == '\0') title[i] = ' ';
  }
}

constexpr std::string_view kRectangleWords = "rectangle H";
constexpr std::string_view kCircleWords = "Circle R";
constexpr std::string_view kRoundedWords = "rectangle rounded corner H";

}  // namespace

std::string ProgramTitleText(const JobParameters& job, const FieldTexts& texts,
                             std::string_view decimalSeparator) {
  std::string title;
  switch (job.ShapeKind) {
    case ShapeKind::Rectangle:
      title = kRectangleWords;
      AppendBlanked(title, texts.WidthText);
      title += " x W";
      AppendBlanked(title, texts.HeightText);
      break;
    case ShapeKind::Circle:
      title = kCircleWords;
      AppendBlanked(title, texts.RadiusText);
      break;
    case ShapeKind::RoundedRectangle:
      title = kRoundedWords;
      AppendBlanked(title, texts.WidthText);
      title += " x W";
      AppendBlanked(title, texts.HeightText);
      title += " R=";
      // The Radius as typed, rounded to the window's thousandths, whatever the job is made in.
      AppendBlanked(title, FormatNumberPlain(MakeCornerRadius(texts), decimalSeparator));
      break;
  }
  return title;
}

bool BeginsWithShapeWords(std::string_view title) {
  return title.starts_with(kRectangleWords) || title.starts_with(kCircleWords) ||
         title.starts_with(kRoundedWords);
}

}  // namespace quorrel
