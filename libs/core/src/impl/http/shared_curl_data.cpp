#include "shared_curl_data.hpp"

#include "core/exception.hpp"

#include <mutex>

namespace nkp::libs::core::http {

namespace {

// curl_easy_init would do it too, but not safely from several threads at once.
CURLSH* initialized_share() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return curl_share_init();
}

} // namespace

shared_curl_data::shared_curl_data()
    : m_data(initialized_share()) {
    CORE_CHECK(m_data != nullptr);
    for (const auto kind : {CURL_LOCK_DATA_COOKIE, CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION,
                            CURL_LOCK_DATA_CONNECT}) {
        curl_share_setopt(m_data.get(), CURLSHOPT_SHARE, kind);
    }
    curl_share_setopt(m_data.get(), CURLSHOPT_USERDATA, this);
    curl_share_setopt(m_data.get(), CURLSHOPT_LOCKFUNC, &shared_curl_data::lock);
    curl_share_setopt(m_data.get(), CURLSHOPT_UNLOCKFUNC, &shared_curl_data::unlock);
}

// Every lock is exclusive, whatever the access asked for.
void shared_curl_data::lock(CURL*, curl_lock_data _data, curl_lock_access, void* _self) {
    auto& mutexes = static_cast<shared_curl_data*>(_self)->m_mutexes;
    const auto index = static_cast<std::size_t>(_data);
    if (index < mutexes.size()) {
        mutexes[index].lock();
    }
}

void shared_curl_data::unlock(CURL*, curl_lock_data _data, void* _self) {
    auto& mutexes = static_cast<shared_curl_data*>(_self)->m_mutexes;
    const auto index = static_cast<std::size_t>(_data);
    if (index < mutexes.size()) {
        mutexes[index].unlock();
    }
}

} // namespace nkp::libs::core::http
