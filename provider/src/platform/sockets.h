// TCP connections for the mail transport: the provider's only contact with
// the network. sockets_posix.cpp and sockets_win32.cpp implement it. Every
// wait is bounded: connecting, and each wait for the peer to take or send
// bytes, gives up after the time given.
#ifndef ZORVA_PROVIDER_PLATFORM_SOCKETS_H
#define ZORVA_PROVIDER_PLATFORM_SOCKETS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace provider {

enum class NetStatus {
    Ok,
    NotFound, // the host name does not resolve
    Refused,  // nobody listens there
    TimedOut, // the peer did not answer in time
    Closed,   // the peer closed or reset the connection
    Failed    // any other error
};

class Connection {
  public:
    Connection() = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    Connection(Connection &&other) noexcept : handle_(other.handle_) { other.handle_ = kClosed; }
    Connection &operator=(Connection &&other) noexcept
    {
        if (this != &other) {
            close();
            handle_ = other.handle_;
            other.handle_ = kClosed;
        }
        return *this;
    }
    ~Connection() { close(); }

    // Connects to host (a name or a numeric address) and port.
    static Connection open(const std::string &host, std::uint16_t port, int timeout_ms, NetStatus &status);

    bool is_open() const { return handle_ != kClosed; }
    // Sends every byte, waiting at most timeout_ms each time the peer
    // takes none.
    NetStatus send_all(const char *data, std::size_t size, int timeout_ms);
    // Receives what has come, at least one byte: Closed when the peer has
    // closed or reset the connection, TimedOut after timeout_ms of silence.
    NetStatus receive(char *buffer, std::size_t size, std::size_t &got, int timeout_ms);
    void close();

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
};

} // namespace provider

#endif
