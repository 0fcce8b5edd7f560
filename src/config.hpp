#pragma once

#include <istream>
#include <set>
#include <string>

namespace nkp {

// The service configuration, read once at start-up and then only read; components keep
// references into it, so it never moves.
struct config {
    // Reads and validates the whole file; throws with every problem in one message.
    explicit config(std::istream& _stream);
    config(const config&) = delete;
    config& operator=(const config&) = delete;

    struct {
        std::string pidfile;
        std::string debug_port;
        bool local_debug = false;
    } system;
    struct {
        std::string output_port;
    } proxy;
    struct {
        std::string url;
        int timeout = 0;
    } server;
    struct {
        std::string host;
        int port = 0;
        std::string password;
    } redis;
    bool modify_server_state = true;
    std::set<std::string, std::less<>> zone_types;
};

} // namespace nkp
