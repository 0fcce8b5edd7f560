#include "messenger_impl.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"
#include "utils.hpp"

#include <boost/algorithm/string/case_conv.hpp>

#include <iomanip>
#include <sstream>

namespace nkp {

namespace {

const std::string USER_MSG_PATH = "/api/v2/private/user_msg/";

Json::Value parse_message(std::string_view _message) {
    auto parse_result = libs::core::json::try_parse(_message);
    CORE_CHECK(parse_result.ok);
    return std::move(parse_result.result);
}

} // namespace

messenger_impl::messenger_impl(libs::core::message_stream& _message_stream,
                               libs::core::http::client& _http_client, libs::core::logger& _logger)
    : m_http_client(_http_client)
    , m_logger(_logger) {
    m_user_msg_subscription = _message_stream.subscribe(
        "user_msg", [this](std::string_view _message) { handle_user_msg(_message); });
    m_notify_subscription = _message_stream.subscribe(
        "notify", [this](std::string_view _message) { handle_notify(_message); });
}

bool messenger_impl::send_set_event(const std::string& _uid, unsigned int _zone_id) {
    return send_event(message_types::SET_EVENT, "Zone event for %1%", _uid, _zone_id);
}

bool messenger_impl::send_clear_event(const std::string& _uid, unsigned int _zone_id) {
    return send_event(message_types::CLEAR_EVENT, "Leave zone event for %1%", _uid, _zone_id);
}

bool messenger_impl::send_event(message_types _type, const char* _scope_format,
                                const std::string& _uid, unsigned int _zone_id) {
    const auto scope = m_logger.enter_scope((boost::format(_scope_format) % _uid).str());
    std::ostringstream payload;
    payload << std::hex << std::uppercase << std::setfill('0') << "05" << std::setw(2)
            << static_cast<unsigned int>(_type) << "0003" << std::setw(2)
            << static_cast<unsigned int>(get_new_sequence_number()) << std::setw(4) << _zone_id;
    return send_user_msg(_uid, payload.str());
}

bool messenger_impl::send_user_msg(const std::string& _uid, const std::string& _hex) const {
    m_logger.debug("To TVEK %1%: %2%") % _uid % _hex;
    Json::Value body;
    body["uid"] = _uid;
    body["data"]["hex"] = _hex;
    const auto text = libs::core::json::to_string(body);
    const auto result =
        m_http_client.perform_request(libs::core::http::method::post, USER_MSG_PATH, text);
    if (!result.ok()) {
        m_logger.error("%1%").location(CORE_SOURCE_LOCATION) % result.error().value_or("Error");
        m_logger.error("user_msg: %1%") % text;
        return false;
    }
    return true;
}

void messenger_impl::handle_user_msg(std::string_view _message) {
    const auto message = parse_message(_message);
    const auto& hex_member = message["hex"];
    if (!hex_member.isString()) {
        return;
    }
    const auto hex = boost::algorithm::to_upper_copy(hex_member.asString());
    const auto& dev_id_member = message["dev_id"];
    if (!dev_id_member.isString()) {
        return;
    }
    const auto dev_id = dev_id_member.asString();
    if (hex.substr(0, 2) != "05") {
        return;
    }
    const auto scope =
        m_logger.enter_scope((boost::format("From TVEK %1%: %2%") % dev_id % hex).str());
    if (!message["mac"].isString() || !message["ts"].isInt() || !message["ms"].isInt()) {
        return;
    }
    const libs::core::timestamp ts(message["ts"].asInt(),
                                   static_cast<unsigned int>(message["ms"].asInt()));
    // substr throws std::out_of_range for a cut that starts past the end.
    const auto type = convert_from_hex<unsigned int>(hex.substr(2, 2));
    const auto length = convert_from_hex<unsigned int>(hex.substr(4, 4));
    const auto seq_no = convert_from_hex<unsigned int>(hex.substr(8, 2));
    if (!type || !length || !seq_no) {
        return;
    }
    if (*type != static_cast<unsigned int>(message_types::ACK)) {
        m_logger.debug("Unknown Message type %1$#x") % *type;
        return;
    }
    if (*length != 2) {
        m_logger.enter_scope(std::string_view("Wrong lengh"));
        return;
    }
    if (m_on_ack_callback) {
        (*m_on_ack_callback)(dev_id, *seq_no, ts);
    }
}

void messenger_impl::handle_notify(std::string_view _message) {
    const auto message = parse_message(_message);
    const auto& action = message["action"];
    const auto& dev_id = message["dev_id"];
    if (!action.isString() || !dev_id.isString()) {
        return;
    }
    if (action.asString() == "NA") {
        if (m_on_reboot_callback) {
            (*m_on_reboot_callback)(dev_id.asString());
        }
    } else if (action.asString() == "HB") {
        if (m_on_heartbeat_callback) {
            (*m_on_heartbeat_callback)(dev_id.asString());
        }
    }
}

} // namespace nkp
