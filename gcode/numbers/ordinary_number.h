#pragma once

#include <optional>
#include <string_view>

namespace quorrel {

/// The value of a text that is an ordinary number and nothing else: an optional "-", digits with
/// "." as the point, an optional exponent; finite. What a controller's settings and fields are
/// written in, where a field's loose reading ("2,5" as 2, "abc" as 0) would cut the wrong part.
/// OrdinaryNumber("2.5") == 2.5; OrdinaryNumber("1e3") == 1000; OrdinaryNumber("2,5"),
/// OrdinaryNumber(" 5"), OrdinaryNumber("1e400") and OrdinaryNumber("") are nothing.
std::optional<double> OrdinaryNumber(std::string_view text);

}  // namespace quorrel
