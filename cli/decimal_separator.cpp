#include "cli/decimal_separator.h"

#include <langinfo.h>
#include <locale.h>

namespace quorrel::cli {

std::string DecimalSeparatorFromEnvironment() {
  // A private locale object: the process's global locale stays "C", so nothing else in the
  // program can start to follow the user's number format.
  const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr)) return ".";
  std::string separator = nl_langinfo_l(RADIXCHAR, numeric);
  freelocale(numeric);
  return separator.empty() ? "." : separator;
}

}  // namespace quorrel::cli
