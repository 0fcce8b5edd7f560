#pragma once

#include <string>

namespace nkp::libs::context_utils {

enum class object_type { zone = 0, trackable_object = 1, win_anchor = 2, sublocation = 3, alarm = 4, node = 5, _count = 6 };

// Where the REST server lists a kind, and how "notify" messages name it.
struct object_info {
    object_type m_type;
    // Appended to the server address.
    std::string m_rest_endpoint;
    // The member of the answer that holds the array of objects.
    std::string m_rest_json_name;
    // "object" of "notify" messages about the kind; empty when it has none.
    std::string m_notify_json_name;
};

struct object_infos {
    static const object_info zone;
    static const object_info trackable_object;
    static const object_info win_anchor;
    static const object_info sublocation;
    static const object_info alarm;
    static const object_info node;
};

} // namespace nkp::libs::context_utils
