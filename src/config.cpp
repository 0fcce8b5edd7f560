#include "config.hpp"

#include "config_parser/config.hpp"
#include "core/exception.hpp"

#include <tuple>

namespace nkp {

namespace {

using libs::config::value;

std::string invalid(const std::string& _reason) {
    return "Config file is invalid: " + _reason;
}

} // namespace

config::config(std::istream& _stream) {
    using libs::config::type;
    const auto file = libs::config::config::create<type::json>(_stream);

    const auto required = file->get_by_path<std::string>({"system", "pidfile"}) +
                          file->get_by_path<std::string>({"system", "debug_port"}) +
                          file->get_by_path<bool>({"system", "local_debug"}) +
                          file->get_by_path<std::string>({"proxy", "output_port"}) +
                          file->get_by_path<std::string>({"server", "url"}) +
                          file->get_by_path<int>({"server", "timeout"}) +
                          file->get_by_path<std::string>({"redis", "host"}) +
                          file->get_by_path<int>({"redis", "port"}) +
                          file->get_by_path<std::string>({"redis", "password"}) +
                          file->get_by_path<value::array>({"zone_types"});
    modify_server_state =
        file->get_by_path<bool>({"debug", "modify_server_state"}).try_get().value_or(true);
    if (!required.ok()) {
        throw libs::core::exception(invalid(required.reason()), CORE_SOURCE_LOCATION);
    }

    value::array types;
    std::tie(system.pidfile, system.debug_port, system.local_debug, proxy.output_port, server.url,
             server.timeout, redis.host, redis.port, redis.password, types) = required.value();

    std::set<std::string, std::less<>> read_types;
    std::size_t index = 0;
    for (const auto& type_name : types) {
        const auto name = type_name.as_string();
        if (!name) {
            throw libs::core::exception(
                invalid("zone_types: not a zone type: " + std::to_string(index)),
                CORE_SOURCE_LOCATION);
        }
        read_types.insert(*name);
        ++index;
    }
    zone_types = std::move(read_types);
}

} // namespace nkp
