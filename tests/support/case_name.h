#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quorrel::testing {

/// Names a parameterised test by its row's `name`.
template <class Row>
std::string CaseName(const ::testing::TestParamInfo<Row>& row) {
  return row.param.name;
}

}  // namespace quorrel::testing
