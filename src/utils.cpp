#include "utils.hpp"

namespace nkp {

void clear_branch(libs::core::redis::context& _redis_context, std::string_view _branch_name) {
    libs::core::redis::command::ptr remove;
    _redis_context.scan(std::string(_branch_name) + ":*", [&](std::string_view _key) {
        if (!remove) {
            remove = _redis_context.create_command({"DEL"});
        }
        remove->add_argument(std::string(_key));
        return true;
    });
    if (remove) {
        remove->execute();
    }
}

} // namespace nkp
