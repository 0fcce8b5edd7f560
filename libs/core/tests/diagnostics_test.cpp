#include "core/exception.hpp"
#include "core/scope_guard.hpp"
#include "core/source_location.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace nkp::libs::core {
namespace {

std::string describe(const located_exception& _exception) {
    std::ostringstream os;
    _exception.describe(os);
    return os.str();
}

TEST(source_location, short_file_is_relative_to_the_source_root) {
    EXPECT_EQ(CORE_SOURCE_LOCATION.short_file(), "/libs/core/tests/diagnostics_test.cpp");
}

TEST(source_location, default_names_nothing) {
    const source_location location;
    EXPECT_EQ(location.line(), 0);
    EXPECT_EQ(location.file(), "unknown file");
    EXPECT_EQ(location.function(), "unknown function");
}

struct short_function_case {
    std::string_view function;
    std::string_view expected;
};

void PrintTo(const short_function_case& _case, std::ostream* _os) {
    *_os << _case.function;
}

class short_function : public testing::TestWithParam<short_function_case> {};

TEST_P(short_function, strips_return_type_and_parameters) {
    const source_location location(1, "file", GetParam().function);
    EXPECT_EQ(location.short_function(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    texts, short_function,
    testing::Values(
        short_function_case{"void nkp::context_updater::handle_zone_event(boost::string_view)",
                            "nkp::context_updater::handle_zone_event"},
        short_function_case{"main(int, char**)::<lambda()>", "main(int, char**)::<lambda()>"},
        short_function_case{"no parenthesis nkp::x", "no parenthesis nkp::x"},
        short_function_case{"void f(nkp::a)", "void f(nkp::a)"},
        short_function_case{"int nkp::a::nkp::b(int)", "nkp::b"}));

TEST(exception, describes_itself_with_file_line_and_message) {
    const exception error("parse error: x", source_location(12, CORE_SOURCE_LOCATION.file(), ""));
    EXPECT_EQ(describe(error), "/libs/core/tests/diagnostics_test.cpp:12 parse error: x");
    EXPECT_EQ(error.get_string_error(), "parse error: x");
    const std::string first = error.what();
    EXPECT_EQ(first, describe(error));
    EXPECT_EQ(std::string(error.what()), first);
}

TEST(exception, failed_check_names_the_condition_and_evaluates_it_once) {
    int evaluations = 0;
    const auto check = [&] { CORE_CHECK(++evaluations == 0); };
    try {
        check();
        FAIL() << "the check did not throw";
    } catch (const check_failed_exception& e) {
        EXPECT_TRUE(describe(e).ends_with(" check failed: ++evaluations == 0")) << describe(e);
        EXPECT_TRUE(describe(e).starts_with("/libs/core/tests/diagnostics_test.cpp:"));
    }
    EXPECT_EQ(evaluations, 1);
    EXPECT_NO_THROW(CORE_CHECK(evaluations == 1));
}

TEST(scope_guard, runs_once_when_the_last_owner_goes) {
    int runs = 0;
    {
        auto guard = execute_on_scope_exit([&] { ++runs; });
        auto moved = std::move(guard);
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);

    auto reset = execute_on_scope_exit([&] { ++runs; });
    reset.reset();
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace nkp::libs::core
