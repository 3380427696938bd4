// Names each case of a parameterised test after the `name` of its row.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace telvor::test_support {

struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return std::string(info.param.name);
    }
};

} // namespace telvor::test_support
