#pragma once

#include "core/redis/command.hpp"
#include "core/redis/reply_type.hpp"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nkp::libs::core::redis {

// One Redis database over two connections, one driven by the events loop and one blocking.
// Each operation builds a command; the caller runs it. Used on the loop's thread only.
class context {
public:
    using ptr = std::unique_ptr<context>;
    // True to go on.
    using callback = std::function<bool(std::string_view)>;
    using args = std::vector<std::string>;

    virtual ~context() = default;

    virtual command::ptr get(std::string _key) = 0;
    virtual command::ptr set(std::string _key, std::string _value) = 0;
    virtual command::ptr del(std::string _key) = 0;
    // Members follow with add_argument.
    virtual command::ptr add_to_set(std::string _key) = 0;
    virtual command::ptr add_to_set(std::string _key, std::string _value) = 0;
    virtual command::ptr remove_from_set(std::string _key, std::string _value) = 0;
    virtual command::ptr get_set_members(std::string _key) = 0;
    virtual command::ptr get_table(std::string _table) = 0;
    virtual command::ptr get_from_table(std::string _table, std::string _field) = 0;
    // Fields follow with add_argument.
    virtual command::ptr get_from_table_multi(std::string _table) = 0;
    virtual command::ptr set_to_table(std::string _table, std::string _field,
                                      std::string _value) = 0;
    // Field and value pairs follow with add_argument.
    virtual command::ptr set_to_table_multi(std::string _table) = 0;
    virtual command::ptr increment_in_table(std::string _table, std::string _field,
                                            std::string _value) = 0;
    virtual command::ptr delete_from_table(std::string _table, std::string _field) = 0;
    // Every key matching the pattern, synchronously, until the callback says stop.
    virtual iteration_result scan(std::string_view _pattern, callback _callback) = 0;
    virtual command::ptr create_command(args _args) = 0;
};

} // namespace nkp::libs::core::redis
