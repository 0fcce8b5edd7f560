#include "test_support/free_port.hpp"

#include <boost/asio/ip/tcp.hpp>

namespace nkp::test_support {

int free_port() {
    boost::asio::io_context context;
    boost::asio::ip::tcp::acceptor probe(context, {boost::asio::ip::make_address("127.0.0.1"), 0});
    return probe.local_endpoint().port();
}

} // namespace nkp::test_support
