#include "sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

namespace provider {

namespace {

// Winsock is started once per process and left running until it ends.
bool winsock_ready()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        WSADATA data;
        ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ready;
}

SOCKET as_socket(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

NetStatus from_code(int code)
{
    switch (code) {
    case WSAECONNREFUSED:
        return NetStatus::Refused;
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAESHUTDOWN:
        return NetStatus::Closed;
    case WSAETIMEDOUT:
        return NetStatus::TimedOut;
    default:
        return NetStatus::Failed;
    }
}

// Waits until the socket can be written (or read); false on a timeout or
// an error, with status saying which.
bool wait_for(SOCKET socket, bool for_writing, int timeout_ms, NetStatus &status)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int count = ::select(0, for_writing ? nullptr : &ready, for_writing ? &ready : nullptr, &failed, &limit);
    if (count == 0) {
        status = NetStatus::TimedOut;
        return false;
    }
    if (count < 0) {
        status = NetStatus::Failed;
        return false;
    }
    if (FD_ISSET(socket, &failed)) {
        int problem = 0;
        int length = sizeof problem;
        ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&problem), &length);
        status = problem != 0 ? from_code(problem) : NetStatus::Failed;
        return false;
    }
    return true;
}

SOCKET connect_one(const addrinfo &address, int timeout_ms, NetStatus &status)
{
    SOCKET socket = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (socket == INVALID_SOCKET) {
        status = NetStatus::Failed;
        return INVALID_SOCKET;
    }
    u_long non_blocking = 1;
    ::ioctlsocket(socket, FIONBIO, &non_blocking);
    if (::connect(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
        int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) {
            status = from_code(code);
            ::closesocket(socket);
            return INVALID_SOCKET;
        }
        if (!wait_for(socket, true, timeout_ms, status)) {
            ::closesocket(socket);
            return INVALID_SOCKET;
        }
        int problem = 0;
        int length = sizeof problem;
        if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&problem), &length) != 0 ||
            problem != 0) {
            status = from_code(problem);
            ::closesocket(socket);
            return INVALID_SOCKET;
        }
    }
    // Every write is a whole command or a large piece: no waiting for
    // acknowledgements before the next small one.
    BOOL on = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on), sizeof on);
    status = NetStatus::Ok;
    return socket;
}

} // namespace

Connection Connection::open(const std::string &host, std::uint16_t port, int timeout_ms, NetStatus &status)
{
    Connection connection;
    if (!winsock_ready()) {
        status = NetStatus::Failed;
        return connection;
    }
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
        SOCKET socket = connect_one(*address, timeout_ms, status);
        if (socket != INVALID_SOCKET) {
            connection.handle_ = static_cast<std::intptr_t>(socket);
            break;
        }
    }
    ::freeaddrinfo(found);
    return connection;
}

NetStatus Connection::send_all(const char *data, std::size_t size, int timeout_ms)
{
    SOCKET socket = as_socket(handle_);
    std::size_t sent = 0;
    while (sent < size) {
        std::size_t piece = size - sent < 0x10000 ? size - sent : 0x10000;
        int done = ::send(socket, data + sent, static_cast<int>(piece), 0);
        if (done > 0) {
            sent += static_cast<std::size_t>(done);
            continue;
        }
        int code = done < 0 ? WSAGetLastError() : 0;
        if (code == WSAEWOULDBLOCK) {
            NetStatus status = NetStatus::Ok;
            if (!wait_for(socket, true, timeout_ms, status)) {
                return status;
            }
            continue;
        }
        return done == 0 ? NetStatus::Closed : from_code(code);
    }
    return NetStatus::Ok;
}

NetStatus Connection::receive(char *buffer, std::size_t size, std::size_t &got, int timeout_ms)
{
    SOCKET socket = as_socket(handle_);
    got = 0;
    int piece = size < 0x10000 ? static_cast<int>(size) : 0x10000;
    for (;;) {
        int done = ::recv(socket, buffer, piece, 0);
        if (done > 0) {
            got = static_cast<std::size_t>(done);
            return NetStatus::Ok;
        }
        if (done == 0) {
            return NetStatus::Closed;
        }
        int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) {
            return from_code(code);
        }
        NetStatus status = NetStatus::Ok;
        if (!wait_for(socket, false, timeout_ms, status)) {
            return status;
        }
    }
}

void Connection::close()
{
    if (handle_ != kClosed) {
        ::closesocket(as_socket(handle_));
        handle_ = kClosed;
    }
}

} // namespace provider
