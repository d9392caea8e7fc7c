#pragma once

#include <string>

#include <gtest/gtest.h>

// Names parameterised tests after the `name` member of their case tables.

namespace lp::testing {

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& case_info) {
  return case_info.param.name;
}

}  // namespace lp::testing
