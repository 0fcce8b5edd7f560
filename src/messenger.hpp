#pragma once

#include "core/timestamp.hpp"

#include <functional>
#include <memory>
#include <string>

namespace nkp {

enum class message_types : std::int32_t { ACK = 0, SET_EVENT = 1, CLEAR_EVENT = 2 };

// Messages to and from the devices: set and clear events out, acknowledgements, reboots and
// heartbeats in. Used on the events loop thread.
class messenger {
public:
    using ptr = std::unique_ptr<messenger>;
    using on_reboot_callback = std::function<void(const std::string& _dev_id)>;
    using on_heartbeat_callback = std::function<void(const std::string& _dev_id)>;
    using on_ack_callback = std::function<void(const std::string& _dev_id, unsigned int _seq_no,
                                               libs::core::timestamp)>;

    virtual ~messenger() = default;

    virtual void set_on_reboot(on_reboot_callback _callback) = 0;
    virtual void set_on_heartbeat(on_heartbeat_callback _callback) = 0;
    virtual void set_on_ack(on_ack_callback _callback) = 0;
    // Each takes a new sequence number, even when the send fails; true when the REST server
    // accepted the message. Blocks for the transfer.
    virtual bool send_set_event(const std::string& _uid, unsigned int _zone_id) = 0;
    virtual bool send_clear_event(const std::string& _uid, unsigned int _zone_id) = 0;
    // The number carried by the last message sent (0 before any).
    virtual unsigned char get_last_sequence_number() const = 0;
    virtual unsigned char get_new_sequence_number() = 0;
};

} // namespace nkp
