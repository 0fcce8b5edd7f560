#pragma once

#include "message_stream_zmq_raw.hpp"

namespace nkp::libs::core {

// The stream the service uses: a topic starting with a letter is "#" + topic on the wire,
// and subscribers get the message from its first "{" (a message without one is dropped).
class message_stream_zmq final : public message_stream {
public:
    message_stream_zmq(boost::asio::io_context& _io_context, const component_logger& _logger,
                       const std::string& _address)
        : m_stream_zmq_raw(_io_context, _logger, _address) {}

    // message_stream
    subscription::ptr subscribe(std::string_view _topic, callback _callback) override;

private:
    message_stream_zmq_raw m_stream_zmq_raw;
};

} // namespace nkp::libs::core
