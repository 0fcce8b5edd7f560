#pragma once

#include <curl/curl.h>

#include <array>
#include <memory>
#include <mutex>

namespace nkp::libs::core::http {

// The libcurl share handle of one client: cookies, DNS cache, TLS sessions and connections
// shared by all its transfers, each kind behind its own mutex.
class shared_curl_data {
public:
    shared_curl_data();
    shared_curl_data(const shared_curl_data&) = delete;
    shared_curl_data& operator=(const shared_curl_data&) = delete;

    CURLSH* get_ptr() const { return m_data.get(); }

private:
    static void lock(CURL* _handle, curl_lock_data _data, curl_lock_access _access, void* _self);
    static void unlock(CURL* _handle, curl_lock_data _data, void* _self);

    struct share_cleanup {
        void operator()(CURLSH* _share) const { curl_share_cleanup(_share); }
    };

    std::unique_ptr<CURLSH, share_cleanup> m_data;
    std::array<std::mutex, 8> m_mutexes;
};

} // namespace nkp::libs::core::http
