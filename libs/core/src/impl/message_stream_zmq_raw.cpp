#include "message_stream_zmq_raw.hpp"

#include <boost/system/system_error.hpp>

namespace nkp::libs::core {

namespace {

class subscription_impl final : public message_stream::subscription {
public:
    explicit subscription_impl(std::shared_ptr<message_stream::callback> _callback)
        : m_callback(std::move(_callback)) {}

private:
    // The only strong owner of the callback.
    std::shared_ptr<message_stream::callback> m_callback;
};

} // namespace

message_stream_zmq_raw::message_stream_zmq_raw(boost::asio::io_context& _io_context,
                                               const component_logger& _logger,
                                               const std::string& _address)
    : m_callbacks(std::make_shared<callbacks_map>())
    , m_socket(_io_context, ZMQ_SUB)
    , m_logger(_logger) {
    boost::system::error_code error;
    m_socket.connect(_address, error);
    if (error) {
        throw boost::system::system_error(error, "message_stream connect to " + _address);
    }
    setup_receive();
}

message_stream_zmq_raw::~message_stream_zmq_raw() {
    boost::system::error_code error;
    m_socket.cancel(error);
    if (error) {
        m_logger.log_error(error, CORE_SOURCE_LOCATION);
    }
}

message_stream::subscription::ptr message_stream_zmq_raw::subscribe(std::string_view _topic,
                                                                    callback _callback) {
    auto [entry, inserted] = m_callbacks->try_emplace(std::string(_topic));
    if (inserted) {
        boost::system::error_code error;
        m_socket.set_option(ZMQ_SUBSCRIBE, _topic.data(), _topic.size(), error);
        if (error) {
            m_callbacks->erase(entry);
            throw boost::system::system_error(error, "message_stream subscribe");
        }
    }
    auto shared = std::make_shared<callback>(std::move(_callback));
    entry->second.push_back(shared);
    return std::make_unique<subscription_impl>(std::move(shared));
}

void message_stream_zmq_raw::setup_receive() {
    m_socket.async_receive([weak = std::weak_ptr<callbacks_map>(m_callbacks),
                            this](const boost::system::error_code& _error, zmq::message& _message) {
        if (_error) {
            if (_error != boost::asio::error::operation_aborted && !weak.expired()) {
                m_logger.log_error(_error, CORE_SOURCE_LOCATION);
            }
            return;
        }
        const auto callbacks = weak.lock();
        if (!callbacks) {
            return;
        }
        setup_receive();
        process_message(*callbacks, _message.to_string_view());
    });
}

void message_stream_zmq_raw::process_message(callbacks_map& _callbacks, std::string_view _message) {
    // The first topic in key order that is a prefix: it sorts at or before the message.
    auto entry = _callbacks.end();
    for (auto it = _callbacks.begin(); it != _callbacks.end() && it->first <= _message; ++it) {
        if (_message.starts_with(it->first)) {
            entry = it;
            break;
        }
    }
    if (entry == _callbacks.end()) {
        return;
    }
    // Callbacks subscribed from inside a callback land after the walked count and wait for
    // the next message; the vector may grow, so it is walked by index.
    auto& callbacks = entry->second;
    const auto count = callbacks.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto callback = callbacks[i].lock()) {
            (*callback)(_message);
        }
    }
    std::erase_if(callbacks, [](const auto& _weak) { return _weak.expired(); });
}

} // namespace nkp::libs::core
