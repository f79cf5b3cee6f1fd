#include "sockets.h"

#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace provider {

namespace {

// Waits until the socket is ready for the events; false on a timeout.
bool wait_for(int fd, short events, int timeout_ms, NetStatus &status)
{
    pollfd entry{fd, events, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, timeout_ms);
        if (ready > 0) {
            return true;
        }
        if (ready == 0) {
            status = NetStatus::TimedOut;
            return false;
        }
        if (errno != EINTR) {
            status = NetStatus::Failed;
            return false;
        }
    }
}

NetStatus from_errno(int code)
{
    switch (code) {
    case ECONNREFUSED:
        return NetStatus::Refused;
    case ECONNRESET:
    case EPIPE:
    case ECONNABORTED:
        return NetStatus::Closed;
    case ETIMEDOUT:
        return NetStatus::TimedOut;
    default:
        return NetStatus::Failed;
    }
}

int connect_one(const addrinfo &address, int timeout_ms, NetStatus &status)
{
    int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) {
        status = NetStatus::Failed;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            status = from_errno(errno);
            ::close(fd);
            return -1;
        }
        if (!wait_for(fd, POLLOUT, timeout_ms, status)) {
            ::close(fd);
            return -1;
        }
        int problem = 0;
        socklen_t length = sizeof problem;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &problem, &length) != 0 || problem != 0) {
            status = from_errno(problem);
            ::close(fd);
            return -1;
        }
    }
    // Every write is a whole command or a large piece: no waiting for
    // acknowledgements before the next small one.
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    status = NetStatus::Ok;
    return fd;
}

} // namespace

Connection Connection::open(const std::string &host, std::uint16_t port, int timeout_ms, NetStatus &status)
{
    Connection connection;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
        status = NetStatus::NotFound;
        return connection;
    }
    status = NetStatus::Failed;
    for (addrinfo *address = found; address != nullptr; address = address->ai_next) {
        int fd = connect_one(*address, timeout_ms, status);
        if (fd >= 0) {
            connection.handle_ = fd;
            break;
        }
    }
    ::freeaddrinfo(found);
    return connection;
}

NetStatus Connection::send_all(const char *data, std::size_t size, int timeout_ms)
{
    int fd = static_cast<int>(handle_);
    std::size_t sent = 0;
    while (sent < size) {
        ssize_t done = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
        if (done > 0) {
            sent += static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            NetStatus status = NetStatus::Ok;
            if (!wait_for(fd, POLLOUT, timeout_ms, status)) {
                return status;
            }
            continue;
        }
        return done == 0 ? NetStatus::Closed : from_errno(errno);
    }
    return NetStatus::Ok;
}

NetStatus Connection::receive(char *buffer, std::size_t size, std::size_t &got, int timeout_ms)
{
    int fd = static_cast<int>(handle_);
    got = 0;
    for (;;) {
        ssize_t done = ::recv(fd, buffer, size, 0);
        if (done > 0) {
            got = static_cast<std::size_t>(done);
            return NetStatus::Ok;
        }
        if (done == 0) {
            return NetStatus::Closed;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return from_errno(errno);
        }
        NetStatus status = NetStatus::Ok;
        if (!wait_for(fd, POLLIN, timeout_ms, status)) {
            return status;
        }
    }
}

void Connection::close()
{
    if (handle_ != kClosed) {
        ::close(static_cast<int>(handle_));
        handle_ = kClosed;
    }
}

} // namespace provider
