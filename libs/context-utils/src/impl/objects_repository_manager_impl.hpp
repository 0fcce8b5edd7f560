#pragma once

#include "context_initializer.hpp"
#include "context_updater.hpp"
#include "context_utils/objects_repository_manager.hpp"
#include "core/async_operation_handle.hpp"
#include "core/http/result.hpp"
#include "core/timers_manager.hpp"

#include <chrono>
#include <memory>
#include <set>
#include <string>

namespace nkp::libs::context_utils {

// A repository of one kind: loaded at construction (blocking), kept current from the kind's
// messages, and reloaded in full at every tick of its timer.
template <class T, class Impl>
class objects_repository_manager_impl final : public objects_repository_manager<T> {
public:
    using object_implementation = Impl;
    using typename objects_repository_manager<T>::objects;

    static constexpr std::chrono::minutes DEFAULT_UPDATE_PERIOD{30};

    objects_repository_manager_impl(const object_info& _info,
                                    context_initializer& _context_initializer,
                                    context_updater& _context_updater,
                                    core::timers_manager& _timers) {
        _context_initializer.for_each_object_on_server(_info, [this](const json_object& _json) {
            auto object = std::make_unique<Impl>(_json);
            const auto ts = object->get_updated_at();
            m_objects.update_or_add(std::move(object), ts);
            return true;
        });

        // The registrations outlive this manager in the updater; they do nothing once it is gone.
        const std::weak_ptr<const int> alive = m_alive;
        const auto store = [this, alive](const json_notify& _message) {
            if (alive.expired()) {
                return;
            }
            auto object = std::make_unique<Impl>(_message);
            const auto ts = object->get_updated_at();
            m_objects.update_or_add(std::move(object), ts);
        };
        _context_updater.on_creating(_info, store);
        _context_updater.on_updating(_info, store);
        _context_updater.on_deleting(_info, [this, alive](const json_notify& _message) {
            if (alive.expired()) {
                return;
            }
            const Impl object(_message);
            m_objects.remove(object.get_uid(), object.get_updated_at());
        });

        m_timer = _timers.create_periodic_timer(
            DEFAULT_UPDATE_PERIOD, "context_utils: zones updater",
            [this, &_info, &_context_initializer](core::timer::time_point) {
                // Replacing the handle abandons a reload still in flight.
                m_request = _context_initializer.get_objects_async(
                    _info,
                    [this, &_info, &_context_initializer](std::optional<json_answer> _answer) {
                        if (_answer) {
                            apply_reload(_info, _context_initializer, *_answer);
                        }
                    });
            },
            CORE_SOURCE_LOCATION);
    }

    // objects_repository_manager
    const objects& get_objects() const override { return m_objects; }
    void disable_timer() override { m_timer->stop(); }
    void set_update_period(std::chrono::nanoseconds _period) override { m_timer->reset(_period); }

private:
    // Every listed object is updated or added, then every stored one not listed is removed,
    // all with the time the answer arrived.
    void apply_reload(const object_info& _info, const context_initializer& _context_initializer,
                      const json_answer& _answer) {
        const auto now = core::timestamp::current_time();
        std::set<std::string, std::less<>> seen;
        _context_initializer.for_each_object(_info, _answer, [&](const json_object& _json) {
            auto object = std::make_unique<Impl>(_json);
            seen.insert(object->get_uid());
            m_objects.update_or_add(std::move(object), now);
            return true;
        });
        m_objects.for_each([&](const T& _object) {
            if (!seen.contains(_object.get_uid())) {
                m_objects.remove(std::string(_object.get_uid()), now);
            }
            return true;
        });
    }

    std::shared_ptr<const int> m_alive = std::make_shared<const int>(0);
    objects m_objects;
    core::periodic_timer::ptr m_timer;
    core::async_operation_handle<core::http::result>::ptr m_request;
};

} // namespace nkp::libs::context_utils
