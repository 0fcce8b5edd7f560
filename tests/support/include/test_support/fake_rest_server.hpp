#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nkp::test_support {

// The location system's REST server for tests: HTTP on a free loopback port, in a thread of
// its own, with answers programmed per path and a record of every request.
class fake_rest_server {
public:
    struct answer {
        answer(int _status = 200, std::string _body = {}, std::chrono::milliseconds _delay = {})
            : status(_status)
            , body(std::move(_body))
            , delay(_delay) {}
        // The same answer, after _failures answers with _status and _body.
        answer&& after_failures(int _failures, int _status, std::string _body) && {
            failures = _failures;
            failure_status = _status;
            failure_body = std::move(_body);
            return std::move(*this);
        }

        int status = 200;
        std::string body;
        // Before answering, as a slow server would.
        std::chrono::milliseconds delay{0};
        // Answers with failure_status and failure_body this many times first.
        int failures = 0;
        int failure_status = 503;
        std::string failure_body;
    };

    struct request {
        std::string method;
        std::string path;
        std::map<std::string, std::string> headers; // names in lower case
        std::string body;
        std::chrono::steady_clock::time_point time;
    };

    fake_rest_server();
    // Closes every connection and waits for the server's threads.
    ~fake_rest_server();
    fake_rest_server(const fake_rest_server&) = delete;
    fake_rest_server& operator=(const fake_rest_server&) = delete;

    // "http://127.0.0.1:<port>", without a trailing slash.
    std::string address() const;
    // Paths without an answer get 404 and "not found".
    void set_answer(const std::string& _path, answer _answer);
    std::vector<request> requests() const;
    // True once that many requests arrived before the timeout.
    bool wait_for_requests(std::size_t _count, std::chrono::milliseconds _timeout) const;

private:
    struct state;
    std::shared_ptr<state> m_state;
    std::thread m_acceptor_thread;
};

} // namespace nkp::test_support
