#include "service_config.hpp"

#include "core/json.hpp"

namespace nkp::tests {

Json::Value valid_config_json() {
    return libs::core::json::parse(R"({
        "system": {"pidfile": "/tmp/brimwatch-test.pid", "debug_port": "tcp://127.0.0.1:1",
                   "local_debug": false},
        "proxy": {"output_port": "tcp://127.0.0.1:2"},
        "server": {"url": "http://127.0.0.1:3", "timeout": 10},
        "redis": {"host": "127.0.0.1", "port": 1, "password": ""},
        "zone_types": ["room", "hall"]
    })",
                                   CORE_SOURCE_LOCATION);
}

} // namespace nkp::tests
