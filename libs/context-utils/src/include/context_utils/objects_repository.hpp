#pragma once

#include "core/exception.hpp"
#include "core/scope_guard.hpp"
#include "core/timestamp.hpp"

#include <boost/optional.hpp>
#include <boost/range/adaptor/map.hpp>
#include <boost/range/adaptor/transformed.hpp>
#include <boost/range/any_range.hpp>

#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace nkp::libs::context_utils {

// The objects of one kind, by uid, in ascending uid order. Every change tells the observers,
// in subscription order, with the change's timestamp. One thread owns a repository and its
// observers. T has get_uid() const; abstract kinds are stored behind unique owners.
template <class T>
class objects_repository {
public:
    using timestamp = core::timestamp;
    using callback = std::function<bool(const T&)>;
    using storage_type = std::conditional_t<std::is_abstract_v<T>, std::unique_ptr<T>, T>;

    class observer {
    public:
        observer() = default;
        observer(const observer&) = default;
        virtual ~observer() = default;
        virtual void after_creating(const T& _object, timestamp _timestamp) = 0;
        virtual void after_updating(const T& _object, timestamp _timestamp) = 0;
        // The object is still stored and readable.
        virtual void before_deleting(const T& _object, timestamp _timestamp) = 0;
    };

    // The subscribers. While they are being told of a change, an unsubscribed one is only
    // blanked, so the walk neither skips nor calls a gone observer.
    struct observers_container {
        std::vector<observer*> m_items;
        int m_walking = 0;
    };

    // Ends the subscription when destroyed; a moved-from handle does nothing.
    class subscription_handle {
    public:
        subscription_handle(observers_container& _observers, observer& _observer)
            : m_observers(&_observers)
            , m_observer(&_observer) {}
        subscription_handle(subscription_handle&& _other) noexcept
            : m_observers(std::exchange(_other.m_observers, nullptr))
            , m_observer(_other.m_observer) {}
        subscription_handle(const subscription_handle&) = delete;
        subscription_handle& operator=(const subscription_handle&) = delete;
        subscription_handle& operator=(subscription_handle&&) = delete;
        ~subscription_handle() {
            if (m_observers == nullptr) {
                return;
            }
            auto& items = m_observers->m_items;
            for (auto& item : items) {
                if (item == m_observer) {
                    item = nullptr;
                }
            }
            if (m_observers->m_walking == 0) {
                std::erase(items, nullptr);
            }
        }

    private:
        observers_container* m_observers;
        observer* m_observer;
    };

    template <class Object>
    struct basic_holder {
        explicit basic_holder(Object&& _object)
            : m_object(std::move(_object)) {}

        Object m_object;
        // A writable object is open.
        bool m_dispatching_events = false;
        // The timestamp of a removal that waits for the writable object, or for the
        // notification in progress, to end.
        std::optional<timestamp> m_should_be_deleted;
        // Observers are being told of a change of this object.
        int m_notifying = 0;

        T& get_object() {
            if constexpr (std::is_abstract_v<T>) {
                return *m_object;
            } else {
                return m_object;
            }
        }
        const T& get_object() const { return const_cast<basic_holder*>(this)->get_object(); }
    };
    using abstract_object_holder = basic_holder<std::unique_ptr<T>>;
    using object_holder = basic_holder<T>;
    using map_storage_type =
        std::conditional_t<std::is_abstract_v<T>, abstract_object_holder, object_holder>;

    // Changes the stored object in place; its end tells the observers once (after_updating),
    // then carries out a removal requested meanwhile. Empty when the uid was not stored: a
    // standard optional could not let the destructor's exception through.
    class writable_object {
    public:
        writable_object() = default;
        writable_object(map_storage_type& _object, objects_repository& _repository,
                        timestamp _timestamp)
            : m_object(&_object)
            , m_repositiory(&_repository)
            , m_timestamp(_timestamp) {
            m_object->m_dispatching_events = true;
        }
        writable_object(writable_object&& _other) noexcept
            : m_object(_other.m_object)
            , m_repositiory(std::exchange(_other.m_repositiory, nullptr))
            , m_timestamp(_other.m_timestamp) {}
        writable_object(const writable_object&) = delete;
        writable_object& operator=(const writable_object&) = delete;
        writable_object& operator=(writable_object&&) = delete;

        // Throws what an observer threw, unless an exception was already propagating.
        ~writable_object() noexcept(false) {
            if (m_repositiory == nullptr) {
                return;
            }
            const bool unwinding = std::uncaught_exceptions() > 0;
            std::exception_ptr failure;
            try {
                m_repositiory->notify(*m_object, &observer::after_updating, m_timestamp);
            } catch (...) {
                failure = std::current_exception();
            }
            m_object->m_dispatching_events = false;
            try {
                m_repositiory->remove_if_requested(*m_object);
            } catch (...) {
                if (!failure) {
                    failure = std::current_exception();
                }
            }
            if (failure && !unwinding) {
                std::rethrow_exception(failure);
            }
        }

        explicit operator bool() const { return m_repositiory != nullptr; }
        T* operator->() const { return &m_object->get_object(); }
        T& operator*() const { return m_object->get_object(); }

    private:
        map_storage_type* m_object = nullptr;
        objects_repository* m_repositiory = nullptr;
        timestamp m_timestamp;
    };

    using map_type = std::map<std::string, map_storage_type, std::less<>>;
    using range = boost::any_range<T, boost::bidirectional_traversal_tag, const T&, std::ptrdiff_t>;

    objects_repository() = default;
    objects_repository(const objects_repository&) = delete;
    objects_repository& operator=(const objects_repository&) = delete;

    // Reading.
    boost::optional<const T&> try_get(std::string_view _uid) const {
        const auto found = m_objects.find(_uid);
        if (found == m_objects.end()) {
            return boost::none;
        }
        return found->second.get_object();
    }
    const T& get(std::string_view _uid) const {
        const auto found = try_get(_uid);
        if (!found) {
            throw core::exception("objects_repository::get: no object " + std::string(_uid),
                                  CORE_SOURCE_LOCATION);
        }
        return *found;
    }
    bool is_exists(std::string_view _uid) const { return m_objects.find(_uid) != m_objects.end(); }
    // In ascending uid order; stops at the first false. The callback may change the
    // repository, the visited object's removal included.
    bool for_each(const callback& _callback) const {
        auto position = m_objects.begin();
        while (position != m_objects.end()) {
            const std::string uid = position->first;
            if (!_callback(position->second.get_object())) {
                return false;
            }
            position = m_objects.upper_bound(uid);
        }
        return true;
    }
    range get_range() const {
        return m_objects | boost::adaptors::map_values |
               boost::adaptors::transformed(
                   [](const map_storage_type& _holder) -> const T& { return _holder.get_object(); });
    }
    // Subscribing changes no contents, so a const repository takes it.
    subscription_handle subscribe(observer& _observer) const {
        m_observers.m_items.push_back(&_observer);
        return subscription_handle(m_observers, _observer);
    }

    // Changing. A uid already stored is refused: the observers would be told of a creation
    // that did not happen.
    const T& add(storage_type _object, timestamp _timestamp) {
        std::string uid = uid_of(_object);
        auto [position, inserted] =
            m_objects.try_emplace(std::move(uid), map_storage_type(std::move(_object)));
        if (!inserted) {
            throw core::exception("objects_repository::add: " + position->first +
                                      " is stored already",
                                  CORE_SOURCE_LOCATION);
        }
        auto& holder = position->second;
        notify(holder, &observer::after_creating, _timestamp);
        const auto deleted = std::exchange(holder.m_should_be_deleted, std::nullopt);
        if (!deleted || holder.m_dispatching_events) {
            holder.m_should_be_deleted = deleted;
            return holder.get_object();
        }
        // An observer removed the new object: it goes now, and the caller's reference stays
        // valid until the next such removal.
        notify(holder, &observer::before_deleting, *deleted);
        m_removed_during_add.emplace(std::move(holder.m_object));
        m_objects.erase(position);
        if constexpr (std::is_abstract_v<T>) {
            return **m_removed_during_add;
        } else {
            return *m_removed_during_add;
        }
    }
    void update_or_add(storage_type _object, timestamp _timestamp) {
        const auto position = m_objects.find(uid_of(_object));
        if (position == m_objects.end()) {
            add(std::move(_object), _timestamp);
            return;
        }
        auto& holder = position->second;
        if (holder.m_notifying > 0) {
            // Observers still hold the current object; replacing it would leave them a
            // destroyed one.
            throw core::exception("objects_repository::update_or_add: " + position->first +
                                      " changed while its observers are told of a change",
                                  CORE_SOURCE_LOCATION);
        }
        holder.m_object = std::move(_object);
        notify(holder, &observer::after_updating, _timestamp);
        remove_if_requested(holder);
    }
    writable_object try_get(std::string_view _uid, timestamp _timestamp) {
        const auto found = m_objects.find(_uid);
        if (found == m_objects.end()) {
            return writable_object();
        }
        return writable_object(found->second, *this, _timestamp);
    }
    // Nothing for a uid that is not stored. While a writable object is open, or observers are
    // being told of the object, the removal waits for that to end.
    void remove(const std::string& _uid, timestamp _timestamp) {
        const auto position = m_objects.find(_uid);
        if (position == m_objects.end()) {
            return;
        }
        auto& holder = position->second;
        if (holder.m_dispatching_events || holder.m_notifying > 0) {
            holder.m_should_be_deleted = _timestamp;
            return;
        }
        notify(holder, &observer::before_deleting, _timestamp);
        m_objects.erase(position);
    }

private:
    static const std::string& uid_of(const storage_type& _object) {
        if constexpr (std::is_abstract_v<T>) {
            return _object->get_uid();
        } else {
            return _object.get_uid();
        }
    }

    void notify(map_storage_type& _holder, void (observer::*_event)(const T&, timestamp),
                timestamp _timestamp) {
        ++_holder.m_notifying;
        ++m_observers.m_walking;
        const auto done = core::execute_on_scope_exit([&] {
            --_holder.m_notifying;
            if (--m_observers.m_walking == 0) {
                std::erase(m_observers.m_items, nullptr);
            }
        });
        // Observers subscribed meanwhile hear of the next change, not of this one.
        const auto count = m_observers.m_items.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (auto* listener = m_observers.m_items[i]) {
                (listener->*_event)(_holder.get_object(), _timestamp);
            }
        }
    }

    void remove_if_requested(map_storage_type& _holder) {
        if (_holder.m_dispatching_events || _holder.m_notifying > 0) {
            return;
        }
        if (const auto deleted = std::exchange(_holder.m_should_be_deleted, std::nullopt)) {
            remove(std::string(uid_of(_holder.m_object)), *deleted);
        }
    }

    map_type m_objects;
    mutable observers_container m_observers;
    std::optional<storage_type> m_removed_during_add;
};

} // namespace nkp::libs::context_utils
