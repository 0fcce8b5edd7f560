#pragma once

#include "core/logger.hpp"
#include "core/message_stream.hpp"
#include "zmq/asio_socket.hpp"

#include <boost/asio/io_context.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace nkp::libs::core {

// A SUB socket on the proxy's output; each message goes to the callbacks of the first
// subscribed topic, in key order, that is a prefix of it.
class message_stream_zmq_raw final : public message_stream {
public:
    using callbacks_vector = std::vector<std::weak_ptr<callback>>;

    // Throws boost::system::system_error on an invalid address.
    message_stream_zmq_raw(boost::asio::io_context& _io_context, const component_logger& _logger,
                           const std::string& _address);
    ~message_stream_zmq_raw() override;

    // message_stream
    subscription::ptr subscribe(std::string_view _topic, callback _callback) override;

private:
    using callbacks_map = std::map<std::string, callbacks_vector, std::less<>>;

    void setup_receive();
    static void process_message(callbacks_map& _callbacks, std::string_view _message);

    // Receive handlers hold a weak reference: once it is gone the stream is gone.
    std::shared_ptr<callbacks_map> m_callbacks;
    zmq::asio_socket m_socket;
    const component_logger& m_logger;
};

} // namespace nkp::libs::core
