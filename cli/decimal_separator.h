#pragma once

#include <string>

namespace quorrel::cli {

/// The decimal separator of the user's numeric locale, as the environment sets it (LC_ALL,
/// LC_NUMERIC, LANG); "." when that locale is not installed.
std::string DecimalSeparatorFromEnvironment();

}  // namespace quorrel::cli
