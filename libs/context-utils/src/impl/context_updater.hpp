#pragma once

#include "json_value.hpp"
#include "object_infos.hpp"

#include <functional>
#include <string>

namespace nkp::libs::context_utils {

// Routes the text of a "notify" message to the one callback of its object kind and action,
// and a "pos" message to the position callback. Used on the events loop thread only.
class context_updater {
public:
    using callback = std::function<void(const json_notify&)>;

    // Each registration replaces the slot's callback.
    void on_zone_creating(callback _callback) { m_zone_creating_callback = std::move(_callback); }
    void on_zone_updating(callback _callback) { m_zone_updating_callback = std::move(_callback); }
    void on_zone_deleting(callback _callback) { m_zone_deleting_callback = std::move(_callback); }
    void on_trackable_object_creating(callback _callback) {
        m_trackable_object_creating_callback = std::move(_callback);
    }
    void on_trackable_object_updating(callback _callback) {
        m_trackable_object_updating_callback = std::move(_callback);
    }
    void on_trackable_object_deleting(callback _callback) {
        m_trackable_object_deleting_callback = std::move(_callback);
    }
    void on_sublocation_creating(callback _callback) {
        m_sublocation_creating_callback = std::move(_callback);
    }
    void on_sublocation_updating(callback _callback) {
        m_sublocation_updating_callback = std::move(_callback);
    }
    void on_sublocation_deleting(callback _callback) {
        m_sublocation_deleting_callback = std::move(_callback);
    }
    void on_win_anchor_creating(callback _callback) {
        m_win_anchor_creating_callback = std::move(_callback);
    }
    void on_win_anchor_updating(callback _callback) {
        m_win_anchor_updating_callback = std::move(_callback);
    }
    void on_win_anchor_deleting(callback _callback) {
        m_win_anchor_deleting_callback = std::move(_callback);
    }
    void on_node_creating(callback _callback) { m_node_creating_callback = std::move(_callback); }
    void on_node_updating(callback _callback) { m_node_updating_callback = std::move(_callback); }
    void on_node_deleting(callback _callback) { m_node_deleting_callback = std::move(_callback); }
    void on_pos(callback _callback) { m_pos_callback = std::move(_callback); }
    void on_trackable_object_association_creating(callback _callback) {
        m_trackable_object_association_creating_callback = std::move(_callback);
    }
    void on_trackable_object_association_updating(callback _callback) {
        m_trackable_object_association_updating_callback = std::move(_callback);
    }
    void on_trackable_object_groups_updating(callback _callback) {
        m_trackable_object_groups_updating_callback = std::move(_callback);
    }

    // By kind; a kind without messages (alarm) registers nothing.
    void on_creating(const object_info& _info, callback _callback);
    void on_updating(const object_info& _info, callback _callback);
    void on_deleting(const object_info& _info, callback _callback);

    // Throws exception for text that is not JSON or lacks the string "object" or "action";
    // an unknown kind or action, or an empty slot, is ignored.
    void handle_notify(const std::string& _text);
    void handle_pos(const std::string& _text);

private:
    enum class action { creating, updating, deleting };
    // The slot of a kind and action, or null when the kind has no such slot.
    callback* slot_of(object_type _type, action _action);
    void register_for(const object_info& _info, action _action, callback _callback);

    callback m_zone_creating_callback;
    callback m_zone_updating_callback;
    callback m_zone_deleting_callback;
    callback m_trackable_object_creating_callback;
    callback m_trackable_object_updating_callback;
    callback m_trackable_object_deleting_callback;
    callback m_sublocation_creating_callback;
    callback m_sublocation_updating_callback;
    callback m_sublocation_deleting_callback;
    callback m_win_anchor_creating_callback;
    callback m_win_anchor_updating_callback;
    callback m_win_anchor_deleting_callback;
    callback m_node_creating_callback;
    callback m_node_updating_callback;
    callback m_node_deleting_callback;
    callback m_pos_callback;
    callback m_trackable_object_association_creating_callback;
    callback m_trackable_object_association_updating_callback;
    callback m_trackable_object_groups_updating_callback;
};

} // namespace nkp::libs::context_utils
