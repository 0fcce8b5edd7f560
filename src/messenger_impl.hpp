#pragma once

#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "core/message_stream.hpp"
#include "messenger.hpp"

#include <optional>
#include <string_view>

namespace nkp {

class messenger_impl final : public messenger {
public:
    messenger_impl(libs::core::message_stream& _message_stream,
                   libs::core::http::client& _http_client, libs::core::logger& _logger);

    // messenger
    void set_on_reboot(on_reboot_callback _callback) override {
        m_on_reboot_callback = std::move(_callback);
    }
    void set_on_heartbeat(on_heartbeat_callback _callback) override {
        m_on_heartbeat_callback = std::move(_callback);
    }
    void set_on_ack(on_ack_callback _callback) override {
        m_on_ack_callback = std::move(_callback);
    }
    bool send_set_event(const std::string& _uid, unsigned int _zone_id) override;
    bool send_clear_event(const std::string& _uid, unsigned int _zone_id) override;
    unsigned char get_last_sequence_number() const override { return m_sequence_number; }
    unsigned char get_new_sequence_number() override { return ++m_sequence_number; }

private:
    bool send_event(message_types _type, const char* _scope_format, const std::string& _uid,
                    unsigned int _zone_id);
    void handle_user_msg(std::string_view _message);
    void handle_notify(std::string_view _message);
    bool send_user_msg(const std::string& _uid, const std::string& _hex) const;

    libs::core::message_stream::subscription::ptr m_user_msg_subscription;
    libs::core::message_stream::subscription::ptr m_notify_subscription;
    libs::core::http::client& m_http_client;
    libs::core::logger& m_logger;
    unsigned char m_sequence_number = 0;
    std::optional<on_reboot_callback> m_on_reboot_callback;
    std::optional<on_heartbeat_callback> m_on_heartbeat_callback;
    std::optional<on_ack_callback> m_on_ack_callback;
};

} // namespace nkp
