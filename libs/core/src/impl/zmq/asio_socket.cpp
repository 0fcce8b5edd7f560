#include "asio_socket.hpp"

#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>

#include <unistd.h>

#include <cerrno>

namespace nkp::libs::core::zmq {

namespace {

class zmq_error_category final : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "zmq"; }
    std::string message(int _value) const override { return zmq_strerror(_value); }
};

// One context for the process. It is never terminated: terminating waits for every socket
// to close and for their queued messages, which must not hold up the exit.
void* shared_context() {
    static void* const context = zmq_ctx_new();
    return context;
}

boost::system::error_code last_error() {
    return boost::system::error_code(zmq_errno(), error_category());
}

} // namespace

const boost::system::error_category& error_category() {
    static const zmq_error_category category;
    return category;
}

struct asio_socket::state {
    state(boost::asio::io_context& _io_context, void* _socket, int _fd)
        : m_io_context(_io_context)
        , m_socket(_socket)
        , m_descriptor(_io_context, _fd) {}

    boost::asio::io_context& m_io_context;
    void* m_socket;
    // Watches a duplicate of ZMQ_FD, which ZeroMQ itself owns.
    boost::asio::posix::stream_descriptor m_descriptor;
    receive_handler m_pending;
    // Waits of an earlier receive (before a cancel) find another generation and stop.
    unsigned m_generation = 0;
    bool m_waiting = false;
};

asio_socket::asio_socket(boost::asio::io_context& _io_context, int _type) {
    void* socket = zmq_socket(shared_context(), _type);
    if (socket == nullptr) {
        throw boost::system::system_error(last_error(), "zmq_socket");
    }
    int fd = -1;
    std::size_t size = sizeof(fd);
    if (zmq_getsockopt(socket, ZMQ_FD, &fd, &size) != 0 || (fd = dup(fd)) < 0) {
        const auto error = last_error();
        zmq_close(socket);
        throw boost::system::system_error(error, "zmq_getsockopt(ZMQ_FD)");
    }
    m_state = std::make_shared<state>(_io_context, socket, fd);
}

asio_socket::~asio_socket() {
    boost::system::error_code ignored;
    m_state->m_descriptor.cancel(ignored);
    m_state->m_descriptor.close(ignored);
    zmq_close(m_state->m_socket);
}

void asio_socket::connect(const std::string& _address, boost::system::error_code& _error) {
    _error = zmq_connect(m_state->m_socket, _address.c_str()) == 0 ? boost::system::error_code()
                                                                   : last_error();
}

void asio_socket::bind(const std::string& _address, boost::system::error_code& _error) {
    _error = zmq_bind(m_state->m_socket, _address.c_str()) == 0 ? boost::system::error_code()
                                                                : last_error();
}

void asio_socket::set_option(int _option, const void* _value, std::size_t _size,
                             boost::system::error_code& _error) {
    _error = zmq_setsockopt(m_state->m_socket, _option, _value, _size) == 0
                 ? boost::system::error_code()
                 : last_error();
}

void asio_socket::async_receive(receive_handler _handler) {
    m_state->m_pending = std::move(_handler);
    try_receive(m_state);
}

void asio_socket::cancel(boost::system::error_code& _error) {
    ++m_state->m_generation;
    m_state->m_waiting = false;
    m_state->m_descriptor.cancel(_error);
    if (m_state->m_pending) {
        deliver(m_state, boost::asio::error::operation_aborted, message());
    }
}

bool asio_socket::send(message& _message, int _flags, boost::system::error_code& _error) {
    const bool sent = zmq_msg_send(_message.handle(), m_state->m_socket, _flags) >= 0;
    _error = sent ? boost::system::error_code() : last_error();
    recheck_input();
    return sent;
}

bool asio_socket::receive(message& _message, int _flags, boost::system::error_code& _error) {
    const bool received = zmq_msg_recv(_message.handle(), m_state->m_socket, _flags) >= 0;
    _error = received ? boost::system::error_code() : last_error();
    recheck_input();
    return received;
}

void asio_socket::recheck_input() {
    if (!m_state->m_pending) {
        return;
    }
    boost::asio::post(m_state->m_io_context, [weak = std::weak_ptr<state>(m_state)] {
        if (const auto current = weak.lock()) {
            try_receive(current);
        }
    });
}

void asio_socket::try_receive(const std::shared_ptr<state>& _state) {
    if (!_state->m_pending) {
        return;
    }
    // The descriptor is edge-triggered: it signals only after ZeroMQ has found no input,
    // so every wake-up drains while ZMQ_EVENTS reports input. Receiving only then also spares
    // sockets whose state forbids a receive (a REQ socket before its request) an error.
    for (;;) {
        int events = 0;
        std::size_t size = sizeof(events);
        if (zmq_getsockopt(_state->m_socket, ZMQ_EVENTS, &events, &size) != 0) {
            if (zmq_errno() == EINTR) {
                continue;
            }
            deliver(_state, last_error(), message());
            return;
        }
        if ((events & ZMQ_POLLIN) == 0) {
            break;
        }
        message part;
        if (zmq_msg_recv(part.handle(), _state->m_socket, ZMQ_DONTWAIT) >= 0) {
            deliver(_state, {}, std::move(part));
            return;
        }
        const int error = zmq_errno();
        if (error != EAGAIN && error != EINTR) {
            deliver(_state, last_error(), message());
            return;
        }
    }
    if (_state->m_waiting) {
        return;
    }
    _state->m_waiting = true;
    _state->m_descriptor.async_wait(
        boost::asio::posix::descriptor_base::wait_read,
        [weak = std::weak_ptr<state>(_state),
         generation = _state->m_generation](const boost::system::error_code& _error) {
            const auto current = weak.lock();
            if (!current || current->m_generation != generation) {
                return;
            }
            current->m_waiting = false;
            if (_error) {
                deliver(current, _error, message());
                return;
            }
            try_receive(current);
        });
}

void asio_socket::deliver(const std::shared_ptr<state>& _state, boost::system::error_code _error,
                          message _message) {
    auto handler = std::move(_state->m_pending);
    _state->m_pending = nullptr;
    if (!handler) {
        return;
    }
    boost::asio::post(_state->m_io_context,
                      [weak = std::weak_ptr<state>(_state), handler = std::move(handler), _error,
                       part = std::move(_message)]() mutable {
                          if (weak.expired()) {
                              return;
                          }
                          handler(_error, part);
                      });
}

} // namespace nkp::libs::core::zmq
