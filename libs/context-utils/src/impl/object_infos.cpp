#include "object_infos.hpp"

namespace nkp::libs::context_utils {

const object_info object_infos::zone{object_type::zone, "/api/private/zones/", "zones", "ZONE"};
const object_info object_infos::trackable_object{object_type::trackable_object,
                                                 "/api/private/track_obj/", "trackableObjects",
                                                 "TRACKABLE_OBJECT"};
const object_info object_infos::win_anchor{object_type::win_anchor, "/api/private/win_anchors/",
                                           "win_anchors", "WIN_ANCHOR"};
const object_info object_infos::sublocation{object_type::sublocation, "/api/private/sublocations/",
                                            "sublocations", "SUBLOCATION"};
const object_info object_infos::alarm{object_type::alarm, "/api/private/alarms/", "alarms", ""};
const object_info object_infos::node{object_type::node, "/api/private/nodes/", "nodes", "NODE"};

} // namespace nkp::libs::context_utils
