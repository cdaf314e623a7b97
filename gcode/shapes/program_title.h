#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"

namespace quorrel {

/// The titles of the window's shapes, which copy field texts as typed: "rectangle H10 x W10",
/// "Circle R2" and "rectangle rounded corner H10 x W10 R=2", the last quoting the corner radius,
/// rounded as the window's program makes it, with `decimalSeparator`, the user's locale's. CR,
/// LF, "(" and ")" in a text become blanks, so that no typed text can end the comment it stands
/// in, or its line.
std::string RectangleTitle(const FieldTexts& texts, std::string_view decimalSeparator);
std::string CircleTitle(const FieldTexts& texts, std::string_view decimalSeparator);
std::string RoundedRectangleTitle(const FieldTexts& texts, std::string_view decimalSeparator);

/// Appends a text to a title, with the characters that would end a comment or its line blanked;
/// a NUL, which a controller may take for the end of its file, with them.
void AppendToTitle(std::string& title, std::string_view text);

/// A piece of a title: the program's own words, then a text as the machinist typed it.
struct TitlePart {
  std::string_view words;
  std::string_view typed;
};

/// The title of `parts` in turn, each typed text appended as AppendToTitle does.
std::string TitleOf(std::initializer_list<TitlePart> parts);

}  // namespace quorrel
