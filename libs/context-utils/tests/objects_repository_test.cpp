#include "context_utils/objects_repository.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace nkp::libs::context_utils {
namespace {

using core::timestamp;

struct item {
    std::string uid;
    int value = 0;
    const std::string& get_uid() const { return uid; }
};

class abstract_item {
public:
    virtual ~abstract_item() = default;
    virtual const std::string& get_uid() const = 0;
};

class abstract_item_impl final : public abstract_item {
public:
    explicit abstract_item_impl(std::string _uid)
        : m_uid(std::move(_uid)) {}
    const std::string& get_uid() const override { return m_uid; }

private:
    std::string m_uid;
};

using repository = objects_repository<item>;

timestamp at(int _ms) {
    return timestamp(std::chrono::milliseconds(_ms));
}

// Writes "<name> <event> <uid>=<value> @<ms>" for every notification, and runs an optional
// action in the middle of one.
class recorder : public repository::observer {
public:
    recorder(std::string _name, std::vector<std::string>& _log)
        : m_name(std::move(_name))
        , m_log(_log) {}

    void after_creating(const item& _object, timestamp _ts) override { record("created", _object, _ts); }
    void after_updating(const item& _object, timestamp _ts) override { record("updated", _object, _ts); }
    void before_deleting(const item& _object, timestamp _ts) override { record("deleting", _object, _ts); }

    std::function<void(const std::string& _event, const item&)> m_action;

private:
    void record(const std::string& _event, const item& _object, timestamp _ts) {
        m_log.push_back(m_name + " " + _event + " " + _object.uid + "=" +
                        std::to_string(_object.value) + " @" +
                        std::to_string(_ts.get_time_since_epoch().count()));
        if (m_action) {
            m_action(_event, _object);
        }
    }

    std::string m_name;
    std::vector<std::string>& m_log;
};

class objects_repository_test : public testing::Test {
protected:
    std::vector<std::string> uids() const {
        std::vector<std::string> visited;
        m_repository.for_each([&](const item& _object) {
            visited.push_back(_object.uid);
            return true;
        });
        return visited;
    }

    std::vector<std::string> m_log;
    repository m_repository;
    recorder m_a{"A", m_log};
    recorder m_b{"B", m_log};
};

TEST_F(objects_repository_test, tells_observers_in_subscription_order_and_walks_by_uid) {
    const auto a = m_repository.subscribe(m_a);
    const auto b = m_repository.subscribe(m_b);
    m_repository.add(item{"b", 1}, at(1));
    m_repository.update_or_add(item{"a", 2}, at(2));
    m_repository.update_or_add(item{"b", 3}, at(3));
    m_repository.add(item{"c", 4}, at(4));
    m_repository.remove("a", at(5));
    m_repository.remove("missing", at(6));
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created b=1 @1", "B created b=1 @1",
                                               "A created a=2 @2", "B created a=2 @2",
                                               "A updated b=3 @3", "B updated b=3 @3",
                                               "A created c=4 @4", "B created c=4 @4",
                                               "A deleting a=2 @5", "B deleting a=2 @5"}));
    EXPECT_EQ(uids(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(m_repository.try_get("b")->value, 3);
    EXPECT_FALSE(m_repository.try_get("a"));
    EXPECT_TRUE(m_repository.is_exists("c"));
    EXPECT_EQ(boost::size(m_repository.get_range()), 2);
}

TEST_F(objects_repository_test, add_of_a_stored_uid_is_refused_without_a_word_to_observers) {
    const auto a = m_repository.subscribe(m_a);
    m_repository.add(item{"x", 1}, at(1));
    EXPECT_THROW(m_repository.add(item{"x", 2}, at(2)), core::exception);
    EXPECT_EQ(m_log, std::vector<std::string>{"A created x=1 @1"});
    EXPECT_EQ(m_repository.get("x").value, 1);
}

TEST_F(objects_repository_test, a_writable_object_publishes_once_and_defers_a_removal) {
    const auto a = m_repository.subscribe(m_a);
    m_repository.add(item{"x", 1}, at(1));
    {
        auto writable = m_repository.try_get("x", at(10));
        ASSERT_TRUE(writable);
        writable->value = 7;
        m_repository.remove("x", at(20));
        EXPECT_TRUE(m_repository.is_exists("x"));
        auto moved = std::move(writable);
    }
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created x=1 @1", "A updated x=7 @10",
                                               "A deleting x=7 @20"}));
    EXPECT_FALSE(m_repository.is_exists("x"));

    m_log.clear();
    m_repository.add(item{"y", 1}, at(30));
    m_repository.try_get("y", at(31));
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created y=1 @30", "A updated y=1 @31"}));
    EXPECT_FALSE(m_repository.try_get("missing", at(32)));
}

TEST_F(objects_repository_test, a_throwing_observer_of_a_writable_object) {
    const auto a = m_repository.subscribe(m_a);
    const auto b = m_repository.subscribe(m_b);
    m_repository.add(item{"x", 1}, at(1));
    m_log.clear();
    m_a.m_action = [](const std::string& _event, const item&) {
        if (_event == "updated") {
            throw std::runtime_error("observer failed");
        }
    };
    // Alone, its exception leaves the destructor after the pending removal was carried out.
    try {
        auto writable = m_repository.try_get("x", at(2));
        m_repository.remove("x", at(3));
    } catch (const std::runtime_error&) {
        m_log.push_back("caught");
    }
    EXPECT_EQ(m_log, (std::vector<std::string>{"A updated x=1 @2", "A deleting x=1 @3",
                                               "B deleting x=1 @3", "caught"}));
    EXPECT_FALSE(m_repository.is_exists("x"));

    // During another exception it is swallowed.
    m_repository.add(item{"y", 1}, at(4));
    m_log.clear();
    try {
        auto writable = m_repository.try_get("y", at(5));
        throw std::logic_error("first");
    } catch (const std::logic_error& e) {
        m_log.push_back(e.what());
    }
    EXPECT_EQ(m_log, (std::vector<std::string>{"A updated y=1 @5", "first"}));
}

TEST_F(objects_repository_test, for_each_survives_removals_from_its_callback) {
    for (const auto* uid : {"a", "b", "c", "d"}) {
        m_repository.add(item{uid, 0}, at(1));
    }
    std::vector<std::string> visited;
    EXPECT_TRUE(m_repository.for_each([&](const item& _object) {
        const auto uid = _object.uid;
        visited.push_back(uid);
        m_repository.remove(uid, at(2));
        if (uid == "b") {
            m_repository.remove("c", at(2));
        }
        return true;
    }));
    EXPECT_EQ(visited, (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_TRUE(uids().empty());
    EXPECT_TRUE(m_repository.for_each([](const item&) { return false; }));
}

TEST_F(objects_repository_test, for_each_stops_at_the_first_false) {
    m_repository.add(item{"a", 0}, at(1));
    m_repository.add(item{"b", 0}, at(1));
    int calls = 0;
    EXPECT_FALSE(m_repository.for_each([&](const item&) { return ++calls == 0; }));
    EXPECT_EQ(calls, 1);
}

TEST_F(objects_repository_test, subscriptions_end_with_their_handles_also_during_a_walk) {
    auto a = std::make_unique<repository::subscription_handle>(m_repository.subscribe(m_a));
    std::optional<repository::subscription_handle> b(m_repository.subscribe(m_b));
    {
        auto moved = std::move(*b);
        b.reset();
        m_repository.add(item{"x", 1}, at(1));
    }
    m_repository.add(item{"y", 1}, at(2));
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created x=1 @1", "B created x=1 @1",
                                               "A created y=1 @2"}));

    // A unsubscribes B and C while being told: B is never told again, C (subscribed during the
    // walk) only of later changes.
    m_log.clear();
    std::optional<repository::subscription_handle> b_again(m_repository.subscribe(m_b));
    recorder c("C", m_log);
    std::optional<repository::subscription_handle> c_handle;
    m_a.m_action = [&](const std::string&, const item&) {
        b_again.reset();
        if (!c_handle) {
            c_handle.emplace(m_repository.subscribe(c));
        }
    };
    m_repository.add(item{"z", 1}, at(3));
    m_repository.remove("z", at(4));
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created z=1 @3", "A deleting z=1 @4",
                                               "C deleting z=1 @4"}));
    a.reset();
}

TEST_F(objects_repository_test, changes_from_inside_an_observer_keep_every_object_valid) {
    const auto a = m_repository.subscribe(m_a);
    const auto b = m_repository.subscribe(m_b);
    // A removes every object it hears of: B still hears of it, then it goes.
    m_a.m_action = [&](const std::string& _event, const item& _object) {
        if (_event == "created") {
            m_repository.remove(_object.uid, at(9));
        }
    };
    const auto& returned = m_repository.add(item{"x", 1}, at(1));
    EXPECT_EQ(returned.uid, "x");
    EXPECT_EQ(m_log, (std::vector<std::string>{"A created x=1 @1", "B created x=1 @1",
                                               "A deleting x=1 @9", "B deleting x=1 @9"}));
    EXPECT_FALSE(m_repository.is_exists("x"));

    // Replacing the object the observers are being told of is refused.
    m_a.m_action = [&](const std::string& _event, const item& _object) {
        if (_event == "created") {
            m_repository.update_or_add(item{_object.uid, 2}, at(10));
        }
    };
    EXPECT_THROW(m_repository.add(item{"y", 1}, at(2)), core::exception);
    EXPECT_EQ(m_repository.get("y").value, 1);
}

TEST(objects_repository_abstract, keeps_abstract_objects_behind_owners) {
    objects_repository<abstract_item> repository;
    repository.add(std::make_unique<abstract_item_impl>("z"), at(1));
    repository.update_or_add(std::make_unique<abstract_item_impl>("a"), at(2));
    repository.update_or_add(std::make_unique<abstract_item_impl>("z"), at(3));
    std::vector<std::string> visited;
    repository.for_each([&](const abstract_item& _object) {
        visited.push_back(_object.get_uid());
        return true;
    });
    EXPECT_EQ(visited, (std::vector<std::string>{"a", "z"}));
    repository.remove("z", at(4));
    EXPECT_FALSE(repository.try_get("z"));
}

} // namespace
} // namespace nkp::libs::context_utils
