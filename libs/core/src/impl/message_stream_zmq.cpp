#include "message_stream_zmq.hpp"

#include <cctype>

namespace nkp::libs::core {

message_stream::subscription::ptr message_stream_zmq::subscribe(std::string_view _topic,
                                                                callback _callback) {
    const bool named = !_topic.empty() && std::isalpha(static_cast<unsigned char>(_topic.front()));
    std::string topic;
    topic.reserve(_topic.size() + 1);
    if (named) {
        topic += '#';
    }
    topic += _topic;
    return m_stream_zmq_raw.subscribe(topic,
                                      [callback = std::move(_callback)](std::string_view _message) {
                                          const auto payload = _message.find('{');
                                          if (payload != std::string_view::npos) {
                                              callback(_message.substr(payload));
                                          }
                                      });
}

} // namespace nkp::libs::core
