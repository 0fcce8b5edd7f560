#include "test_support/fake_rest_server.hpp"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <cctype>
#include <list>

namespace nkp::test_support {

namespace beast = boost::beast;
namespace http = boost::beast::http;
using tcp = boost::asio::ip::tcp;

struct fake_rest_server::state {
    boost::asio::io_context io_context;
    tcp::acceptor acceptor{io_context};
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::map<std::string, answer> answers;
    std::vector<request> requests;
    std::list<std::thread> connection_threads;
    std::list<std::shared_ptr<tcp::socket>> sockets;
    bool stopping = false;
};

namespace {

std::string lower(std::string _text) {
    std::transform(_text.begin(), _text.end(), _text.begin(),
                   [](unsigned char _c) { return static_cast<char>(std::tolower(_c)); });
    return _text;
}

} // namespace

fake_rest_server::fake_rest_server()
    : m_state(std::make_shared<state>()) {
    auto& acceptor = m_state->acceptor;
    const tcp::endpoint endpoint(boost::asio::ip::make_address("127.0.0.1"), 0);
    acceptor.open(endpoint.protocol());
    acceptor.set_option(tcp::acceptor::reuse_address(true));
    acceptor.bind(endpoint);
    acceptor.listen();
    m_acceptor_thread = std::thread([state = m_state] {
        for (;;) {
            auto socket = std::make_shared<tcp::socket>(state->io_context);
            boost::system::error_code error;
            state->acceptor.accept(*socket, error);
            const std::lock_guard lock(state->mutex);
            if (error || state->stopping) {
                return;
            }
            state->sockets.push_back(socket);
            state->connection_threads.emplace_back([state, socket] {
                beast::flat_buffer buffer;
                for (;;) {
                    http::request<http::string_body> incoming;
                    boost::system::error_code read_error;
                    http::read(*socket, buffer, incoming, read_error);
                    if (read_error) {
                        return;
                    }
                    request recorded{std::string(incoming.method_string()),
                                     std::string(incoming.target()),
                                     {},
                                     incoming.body(),
                                     std::chrono::steady_clock::now()};
                    for (const auto& field : incoming) {
                        recorded.headers[lower(std::string(field.name_string()))] =
                            std::string(field.value());
                    }
                    int status = 404;
                    std::string body = "not found";
                    std::chrono::milliseconds delay{0};
                    {
                        const std::lock_guard lock(state->mutex);
                        const auto found = state->answers.find(recorded.path);
                        if (found != state->answers.end()) {
                            auto& programmed = found->second;
                            delay = programmed.delay;
                            if (programmed.failures > 0) {
                                --programmed.failures;
                                status = programmed.failure_status;
                                body = programmed.failure_body;
                            } else {
                                status = programmed.status;
                                body = programmed.body;
                            }
                        }
                        state->requests.push_back(std::move(recorded));
                    }
                    state->changed.notify_all();
                    if (delay.count() > 0) {
                        std::unique_lock lock(state->mutex);
                        if (state->changed.wait_for(lock, delay, [&] { return state->stopping; })) {
                            return;
                        }
                    }
                    http::response<http::string_body> outgoing{static_cast<http::status>(status),
                                                               incoming.version()};
                    outgoing.set(http::field::content_type, "application/json");
                    outgoing.keep_alive(incoming.keep_alive());
                    outgoing.body() = body;
                    outgoing.prepare_payload();
                    boost::system::error_code write_error;
                    http::write(*socket, outgoing, write_error);
                    if (write_error || !incoming.keep_alive()) {
                        return;
                    }
                }
            });
        }
    });
}

fake_rest_server::~fake_rest_server() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
        for (auto& socket : m_state->sockets) {
            boost::system::error_code ignored;
            socket->shutdown(tcp::socket::shutdown_both, ignored);
        }
    }
    m_state->changed.notify_all();
    // Wakes the blocking accept.
    {
        boost::asio::io_context context;
        tcp::socket waker(context);
        boost::system::error_code ignored;
        waker.connect(m_state->acceptor.local_endpoint(), ignored);
    }
    m_acceptor_thread.join();
    std::list<std::thread> threads;
    {
        const std::lock_guard lock(m_state->mutex);
        threads.swap(m_state->connection_threads);
    }
    for (auto& thread : threads) {
        thread.join();
    }
}

std::string fake_rest_server::address() const {
    return "http://127.0.0.1:" + std::to_string(m_state->acceptor.local_endpoint().port());
}

void fake_rest_server::set_answer(const std::string& _path, answer _answer) {
    const std::lock_guard lock(m_state->mutex);
    m_state->answers[_path] = std::move(_answer);
}

std::vector<fake_rest_server::request> fake_rest_server::requests() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

bool fake_rest_server::wait_for_requests(std::size_t _count,
                                         std::chrono::milliseconds _timeout) const {
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, _timeout,
                                     [&] { return m_state->requests.size() >= _count; });
}

} // namespace nkp::test_support
