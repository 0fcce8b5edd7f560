#include "core/exception.hpp"
#include "core/logger.hpp"

#include "test_support/log_collector.hpp"

#include <gtest/gtest.h>

#include <boost/system/errc.hpp>

#include <stdexcept>

namespace nkp::libs::core {
namespace {

using namespace std::chrono_literals;

const timestamp MARCH_5 = timestamp(std::chrono::milliseconds(1709647629042));
const std::string DATE = "2024-03-05 14:07:09.042 ";

class logger_socket : public testing::Test {
protected:
    logger_socket() {
        m_logger.connect(m_collector.endpoint());
        // "Starting brimwatch" went out before connect and was dropped.
        EXPECT_EQ(next(), "&brimwatch:main Connected to socket");
    }

    // The next line with its date cut out, so the rest can be compared exactly.
    std::string next() {
        auto line = m_collector.receive(5s);
        if (!line) {
            return "<nothing>";
        }
        static const std::size_t DATE_SIZE = DATE.size();
        const auto prefix_end = line->find(' ') + 1;
        return line->substr(0, prefix_end) + line->substr(prefix_end + DATE_SIZE);
    }

    test_support::log_collector m_collector;
    logger m_logger{"brimwatch", "main"};
};

TEST_F(logger_socket, sends_prefix_date_and_body) {
    m_logger.info("Starting %1% on %2%").date_time(MARCH_5) % "brimwatch" % 7;
    EXPECT_EQ(m_collector.receive(5s), "&brimwatch:main " + DATE + "Starting brimwatch on 7");
}

TEST_F(logger_socket, sends_every_level_whatever_the_debug_mode) {
    m_logger.debug("d");
    m_logger.info("i");
    m_logger.warning("w");
    m_logger.error("e");
    for (const auto* body : {"d", "i", "w", "e"}) {
        EXPECT_EQ(next(), std::string("&brimwatch:main ") + body);
    }
}

TEST_F(logger_socket, writes_location_and_function_before_the_message) {
    const source_location location(35, CORE_SOURCE_LOCATION.file(), "int nkp::run(int)");
    m_logger.info("exit").location(location);
    m_logger.warning("%1%").location(location).short_function(location) % "message";
    m_logger.warning("x").function(location);
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:35 exit");
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:35 nkp::run: message");
    EXPECT_EQ(next(), "&brimwatch:main int nkp::run(int): x");
}

TEST_F(logger_socket, indents_each_component_by_its_own_scopes) {
    const auto core = m_logger.component("core");
    {
        const auto outer = core->enter_scope(std::string_view("outer"));
        const auto inner =
            core->enter_function_short(source_location(3, "f", "void nkp::g()"), "t");
        core->info("deep");
        m_logger.info("root");
    }
    core->info("back");
    EXPECT_EQ(next(), "&brimwatch:core outer");
    EXPECT_EQ(next(), "&brimwatch:core     | nkp::g: t");
    EXPECT_EQ(next(), "&brimwatch:core         | deep");
    EXPECT_EQ(next(), "&brimwatch:main root");
    EXPECT_EQ(next(), "&brimwatch:core back");
}

TEST_F(logger_socket, scope_texts_name_the_location) {
    const source_location location(7, CORE_SOURCE_LOCATION.file(), "void nkp::h(int)");
    {
        const auto a = m_logger.enter_scope(location);
        const auto b = m_logger.enter_scope(location, "why");
        const auto c = m_logger.enter_function(location);
    }
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:7");
    EXPECT_EQ(next(), "&brimwatch:main     | /libs/core/tests/logger_test.cpp:7 (why)");
    EXPECT_EQ(next(), "&brimwatch:main         | void nkp::h(int)");
}

TEST_F(logger_socket, execute_logs_whatever_escapes_and_reports_it) {
    EXPECT_TRUE(m_logger.execute([] {}));
    EXPECT_FALSE(m_logger.execute([] { throw std::runtime_error("x"); }));
    EXPECT_FALSE(m_logger.execute([] { throw 5; }));
    EXPECT_FALSE(m_logger.execute(
        [] { throw exception("bad", source_location(9, CORE_SOURCE_LOCATION.file(), "")); }));
    EXPECT_EQ(next(), "&brimwatch:main std::exception::what(): x");
    EXPECT_EQ(next(), "&brimwatch:main Unknown exception");
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:9 bad");
}

TEST_F(logger_socket, execute_with_a_location_says_where_it_caught) {
    const auto core = m_logger.component("core");
    const source_location location(11, CORE_SOURCE_LOCATION.file(), "");
    EXPECT_FALSE(core->execute(location, [] { throw std::logic_error("y"); }));
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:11 Caught exeption");
    EXPECT_EQ(next(), "&brimwatch:core std::exception::what(): y");
}

TEST_F(logger_socket, logs_error_codes_with_their_location_in_the_text) {
    m_logger.log_error(make_error_code(boost::system::errc::connection_refused),
                       source_location(21, CORE_SOURCE_LOCATION.file(), ""));
    EXPECT_EQ(next(), "&brimwatch:main /libs/core/tests/logger_test.cpp:21: Connection refused");
}

TEST_F(logger_socket, a_mismatched_format_still_writes_a_line) {
    m_logger.info("%1% and %2%") % "one";
    m_logger.info("none") % "extra";
    EXPECT_EQ(next(), "&brimwatch:main one and ");
    EXPECT_EQ(next(), "&brimwatch:main none");
}

TEST_F(logger_socket, socket_copies_can_be_switched_off) {
    m_logger.set_writing_to_socket(false);
    m_logger.info("hidden");
    m_logger.set_writing_to_socket(true);
    m_logger.info("shown");
    EXPECT_EQ(next(), "&brimwatch:main shown");
}

TEST(logger, never_blocks_without_a_reading_collector) {
    test_support::log_collector collector;
    logger root("brimwatch", "main");
    EXPECT_FALSE(root.is_debug());
    EXPECT_TRUE(root.is_logger_enabled());
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 3000; ++i) {
        root.info("before connect %1%") % i;
    }
    root.connect(collector.endpoint());
    // Nobody reads yet: the queue fills up and further lines are dropped, never waited for.
    for (int i = 0; i < 20000; ++i) {
        root.info("unread %1%") % i;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    std::size_t received = 0;
    while (collector.receive(500ms)) {
        ++received;
    }
    EXPECT_GT(received, 0u);
}

TEST(logger, connect_rejects_a_malformed_endpoint) {
    logger root("brimwatch", "main");
    EXPECT_THROW(root.connect("not an endpoint"), std::exception);
    EXPECT_THROW(root.connect(""), std::exception);
}

TEST(exception_to_string, prefers_the_description_of_located_exceptions) {
    const exception error("m", source_location(4, CORE_SOURCE_LOCATION.file(), ""));
    EXPECT_EQ(exception_to_string(error), "/libs/core/tests/logger_test.cpp:4 m");
    try {
        throw check_failed_exception("c", source_location(5, CORE_SOURCE_LOCATION.file(), ""));
    } catch (...) {
        EXPECT_EQ(exception_to_string(), "/libs/core/tests/logger_test.cpp:5 check failed: c");
    }
}

} // namespace
} // namespace nkp::libs::core
