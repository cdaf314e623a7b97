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

std::string TitleOf(std::initializer_list<TitlePart> parts) {
  std::string title;
  for (const TitlePart& part : parts) {
    title += part.words;
    AppendToTitle(title, part.typed);
  }
  return title;
}

std::string RectangleTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"rectangle H", texts.WidthText}, {" x W", texts.HeightText}});
}

std::string CircleTitle(const FieldTexts& texts, std::string_view) {
  return TitleOf({{"Circle R", texts.RadiusText}});
}

std::string RoundedRectangleTitle(const FieldTexts& texts, std::string_view decimalSeparator) {
  // The Radius as typed, rounded to the window's thousandths, whatever the job is made in.
  return TitleOf({{"rectangle rounded corner H", texts.WidthText},
                  {" x W", texts.HeightText},
                  {" R=", FormatNumberPlain(MakeCornerRadius(texts), decimalSeparator)}});
}

}  // namespace quorrel
