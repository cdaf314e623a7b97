#pragma once

#include <gtest/gtest.h>

#include <optional>

namespace quorrel::testing {

/// The exception of type `Exception` that `action` raises, for the test to check its kind and
/// message; a test failure, and nothing, when it raises none.
/// if (auto fault = Raised<ArithmeticFault>([] { RingCount(40000); })) EXPECT_EQ(...);
template <class Exception, class Action>
std::optional<Exception> Raised(Action action) {
  try {
    action();
  } catch (const Exception& raised) {
    return raised;
  }
  ADD_FAILURE() << "nothing was raised";
  return std::nullopt;
}

}  // namespace quorrel::testing
