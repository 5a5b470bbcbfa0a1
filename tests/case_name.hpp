// SPDX-License-Identifier: MIT
#pragma once
// Names each case of a table-driven test by its `name` field.

#include <gtest/gtest.h>
#include <string>

namespace lenstally::testing_support {

struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& p) const {
        return std::string(p.param.name);
    }
};

} // namespace lenstally::testing_support
