#pragma once

#include "context_utils/objects/node.hpp"
#include "context_utils/objects/sublocation.hpp"
#include "context_utils/objects/trackable_object.hpp"
#include "context_utils/objects/win_anchor.hpp"
#include "context_utils/objects/zone.hpp"
#include "context_utils/objects_repository_manager.hpp"
#include "context_utils/parsers/alarm.hpp"
#include "context_utils/parsers/pos.hpp"
#include "context_utils/parsers/trackable_object.hpp"
#include "context_utils/parsers/trackable_object_association.hpp"
#include "context_utils/parsers/trackable_object_groups.hpp"
#include "context_utils/parsers/zone.hpp"
#include "core/events_loop.hpp"
#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "core/timestamp.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace nkp::libs::context_utils {

// The entry point of the context library: fed the text of every "notify" and "pos" message,
// it keeps repositories of the location system's objects current, or calls back on changes.
// Used on the events loop thread.
class context_synchronizer {
public:
    using ptr = std::unique_ptr<context_synchronizer>;
    using zones_ptr = std::unique_ptr<objects_repository_manager<objects::zone>>;
    using trackable_objects_ptr =
        std::unique_ptr<objects_repository_manager<objects::trackable_object>>;
    using win_anchors_ptr = std::unique_ptr<objects_repository_manager<objects::win_anchor>>;
    using sublocations_ptr = std::unique_ptr<objects_repository_manager<objects::sublocation>>;
    using nodes_ptr = std::unique_ptr<objects_repository_manager<objects::node>>;

    using zone_callback = std::function<void(parsers::zone&)>;
    using zone_deleting_callback = std::function<void(const std::string&, core::timestamp)>;
    using bool_zone_callback = std::function<bool(parsers::zone&)>;
    using trackable_object_callback = std::function<void(parsers::trackable_object&)>;
    using trackable_object_deleting_callback =
        std::function<void(const std::string&, core::timestamp)>;
    using bool_trackable_object_callback = std::function<bool(parsers::trackable_object&)>;
    using bool_alarm_callback = std::function<bool(parsers::alarm&)>;
    using pos_callback = std::function<void(parsers::pos&)>;
    using trackable_object_association_callback =
        std::function<void(parsers::trackable_object_association&)>;
    using trackable_object_groups_callback = std::function<void(parsers::trackable_object_groups&)>;

    static constexpr std::chrono::seconds RETRY_PAUSE{5};

    // _retry_pause: between attempts of a blocking fetch.
    static ptr create(core::http::client& _http_client, core::events_loop& _events_loop,
                      const core::component_logger& _logger,
                      std::chrono::milliseconds _retry_pause = RETRY_PAUSE);

    virtual ~context_synchronizer() = default;

    // Throws for a message that is not JSON or lacks "object" or "action", and for an object
    // that cannot be read; the repositories are then unchanged by it.
    virtual void handle_notify(const std::string& _text) = 0;
    virtual void initialize() = 0;
    virtual void handle_pos(const std::string& _text) = 0;

    // Each repository is loaded before the call returns (blocking, retrying while the server
    // fails), follows the messages of its kind and is reloaded in full every period.
    virtual zones_ptr make_zones(std::chrono::nanoseconds _forced_update_period) = 0;
    virtual void on_zone_creating(zone_callback _callback) = 0;
    virtual void on_zone_updating(zone_callback _callback) = 0;
    virtual void on_zone_deleting(zone_deleting_callback _callback) = 0;
    virtual bool for_each_zone_on_server(const bool_zone_callback& _callback) = 0;
    virtual trackable_objects_ptr
    make_trackable_objects(std::chrono::nanoseconds _forced_update_period) = 0;
    virtual void on_trackable_object_creating(trackable_object_callback _callback) = 0;
    virtual void on_trackable_object_updating(trackable_object_callback _callback) = 0;
    virtual void on_trackable_object_deleting(trackable_object_deleting_callback _callback) = 0;
    virtual bool
    for_each_trackable_object_on_server(const bool_trackable_object_callback& _callback) = 0;
    virtual win_anchors_ptr make_win_anchors(std::chrono::nanoseconds _forced_update_period) = 0;
    virtual sublocations_ptr make_sublocations(std::chrono::nanoseconds _forced_update_period) = 0;
    virtual nodes_ptr make_nodes(std::chrono::nanoseconds _forced_update_period) = 0;
    virtual bool for_each_alarm_on_server(const bool_alarm_callback& _callback) = 0;
    virtual void on_pos(pos_callback _callback) = 0;
    virtual void
    on_trackable_object_association_creating(trackable_object_association_callback _callback) = 0;
    virtual void
    on_trackable_object_association_updating(trackable_object_association_callback _callback) = 0;
    virtual void
    on_trackable_object_groups_updating(trackable_object_groups_callback _callback) = 0;
};

} // namespace nkp::libs::context_utils
