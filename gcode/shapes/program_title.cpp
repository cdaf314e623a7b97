#include "gcode/shapes/program_title.h"

#include "gcode/job/job_parameters.h"
#include "gcode/numbers/number_text.h"

namespace quorrel {

void AppendToTitle(std::string& title, std::string_view text) {
  const std::size_t start = title.size();
  title += text;
  for (std::size_t i = start; i < title.size(); ++i) {
    const char c = title[i];
    if (c == '\r' || c == '\n' || c == '(' || c == ')' || c == '\0') title[i] = ' ';
  }
}

std::string RectangleTitle(const FieldTexts& texts, std::string_view) {
  std::string title = "rectangle H";
  AppendToTitle(title, texts.WidthText);
  title += " x W";
  AppendToTitle(title, texts.HeightText);
  return title;
}

std::string CircleTitle(const FieldTexts& texts, std::string_view) {
  std::string title = "Circle R";
  AppendToTitle(title, texts.RadiusText);
  return title;
}

std::string RoundedRectangleTitle(const FieldTexts& texts, std::string_view decimalSeparator) {
  std::string title = "rectangle rounded corner H";
  AppendToTitle(title, texts.WidthText);
  title += " x W";
  AppendToTitle(title, texts.HeightText);
  title += " R=";
  // The Radius as typed, rounded to the window's thousandths, whatever the job is made in.
  AppendToTitle(title, FormatNumberPlain(MakeCornerRadius(texts), decimalSeparator));
  return title;
}

}  // namespace quorrel
