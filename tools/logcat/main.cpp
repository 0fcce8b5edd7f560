// brimwatch-logcat: the collector of brimwatch's debug socket. Binds a PULL socket and
// prints every line as it arrives.
#include <zmq.hpp>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void on_signal(int) {
    g_stop = 1;
}

int usage(std::ostream& _os, const char* _program, int _status) {
    _os << "Usage: " << _program << " [--bind ENDPOINT] [--component NAME] [--endpoint-file FILE]\n"
        << "  --bind ENDPOINT       where to bind the PULL socket (default tcp://127.0.0.1:5556;\n"
        << "                        tcp://127.0.0.1:* picks a free port)\n"
        << "  --component NAME      only lines of that component (\"main\", \"core\", \"context_utils\")\n"
        << "  --endpoint-file FILE  write the bound endpoint to FILE once bound\n";
    return _status;
}

} // namespace

int main(int argc, char** argv) {
    std::string bind = "tcp://127.0.0.1:5556";
    std::string component;
    std::string endpoint_file;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            return usage(std::cout, argv[0], 0);
        }
        if (i + 1 >= argc) {
            std::cerr << argv[0] << ": " << option << (option.starts_with("--") ? " needs a value\n" : ": unknown option\n");
            return usage(std::cerr, argv[0], 2);
        }
        if (option == "--bind") {
            bind = argv[++i];
        } else if (option == "--component") {
            component = argv[++i];
        } else if (option == "--endpoint-file") {
            endpoint_file = argv[++i];
        } else {
            std::cerr << argv[0] << ": unknown option " << option << "\n";
            return usage(std::cerr, argv[0], 2);
        }
    }

    zmq::context_t context;
    zmq::socket_t socket(context, zmq::socket_type::pull);
    socket.set(zmq::sockopt::linger, 0);
    try {
        socket.bind(bind);
    } catch (const zmq::error_t& e) {
        std::cerr << argv[0] << ": cannot bind " << bind << ": " << e.what() << "\n";
        return 2;
    }
    if (!endpoint_file.empty()) {
        std::ofstream(endpoint_file) << socket.get(zmq::sockopt::last_endpoint);
    }
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);

    // Lines are '&<module>:<component> <date> <body>'.
    const std::string prefix = ":" + component + " ";
    while (g_stop == 0) {
        zmq::pollitem_t item{socket.handle(), 0, ZMQ_POLLIN, 0};
        try {
            if (zmq::poll(&item, 1, std::chrono::milliseconds(200)) <= 0) {
                continue;
            }
        } catch (const zmq::error_t& e) {
            // A signal interrupted the wait; the loop condition decides.
            if (e.num() == EINTR) {
                continue;
            }
            throw;
        }
        zmq::message_t message;
        while (socket.recv(message, zmq::recv_flags::dontwait)) {
            const auto line = message.to_string_view();
            const auto head = line.substr(0, line.find(' ') + 1);
            if (component.empty() || head.ends_with(prefix)) {
                std::cout << line << std::endl;
            }
        }
    }
    return 0;
}
