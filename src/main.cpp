#include "application.hpp"
#include "config.hpp"

#include "core/core.hpp"
#include "core/get_config_file_name.hpp"
#include "core/logger.hpp"
#include "core/pid_file.hpp"

#include <cstdlib>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    using namespace nkp::libs::core;

    logger log("brimwatch", "main");
    int status = EXIT_SUCCESS;
    log.execute([&] {
        try {
            const auto config_file_name = get_config_file_name(argc, argv);
            std::ifstream config_stream(config_file_name);
            const nkp::config configuration(config_stream);
            log.connect(configuration.system.debug_port);
            log.set_debug(configuration.system.local_debug);
            const auto runtime = core::create(log);
            const auto main_loop = runtime->create_events_loop("main loop");
            write_pid(configuration.system.pidfile);
            const auto signals = main_loop->stop_on_signals();
            // Keeps the loop running until a termination signal stops it.
            const auto work = main_loop->create_work();
            nkp::application service(*main_loop, configuration, log);
            main_loop->run_catch_exceptions(CORE_SOURCE_LOCATION);
            log.info("exit").location(CORE_SOURCE_LOCATION);
        } catch (...) {
            // Whoever started the service learns why it did not start. In debug mode syslog
            // already echoes the logged line on standard error.
            if (!log.is_debug()) {
                std::cerr << exception_to_string() << std::endl;
            }
            status = EXIT_FAILURE;
            throw;
        }
    });
    return status;
}
