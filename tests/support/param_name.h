// Names parameterised test cases after the `name` member of their parameter.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace rez::test {

struct ByName {
    template <typename T> std::string operator()(const testing::TestParamInfo<T>& param) const {
        return std::string(param.param.name);
    }
};

} // namespace rez::test

// Prints a case by its name, so that ctest lists "Suite.Test/Name # GetParam() = Name" and not
// the parameter's raw bytes. Use once per parameter struct, in the struct's namespace.
#define REZ_PRINT_CASE_BY_NAME(Type)                                                               \
    [[maybe_unused]] inline void PrintTo(const Type& value, std::ostream* os) {                    \
        *os << value.name;                                                                         \
    }
