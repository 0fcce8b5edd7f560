#pragma once

#include "core/exception.hpp"

#include <unistd.h>

#include <string>

namespace nkp::libs::core {

// The path given with -c; the last -c wins, arguments that are not options are ignored.
inline std::string get_config_file_name(int _argc, char** _argv) {
    const std::string program = _argc > 0 && _argv[0] != nullptr ? _argv[0] : "";
    std::string result;
    // Start option scanning afresh, so that the reader can be used more than once.
    optind = 0;
    for (int option = getopt(_argc, _argv, "c:"); option != -1;
         option = getopt(_argc, _argv, "c:")) {
        if (option != 'c') {
            throw exception("Usage: " + program + " -c config_file", CORE_SOURCE_LOCATION);
        }
        result = optarg;
    }
    if (result.empty()) {
        throw exception("The configuration file is not defined! Usage: " + program +
                            " -c config_file",
                        CORE_SOURCE_LOCATION);
    }
    return result;
}

} // namespace nkp::libs::core
