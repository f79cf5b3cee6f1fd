// SMTP delivery to a sink server on loopback that lives in this program:
// messages per second through MAPISendMail (composing, queueing in the
// outbox, the SMTP conversation, removal), and a 10 MB attachment's
// transfer against the same bytes copied through a plain socket.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "mail_composer.h"
#include "mapi_operations.h"
#include "platform/sockets.h"
#include "sessions.h"
#include "smtp_client.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargeAttachment = 10 * 1024 * 1024;

// A server that takes SMTP (answering every command with success and
// reading DATA up to its end marker), or, in raw mode, reads a length and
// that many bytes and answers with one byte.
class SinkServer {
  public:
    explicit SinkServer(bool raw) : raw_(raw)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(listener_, 16) != 0) {
            std::abort();
        }
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~SinkServer()
    {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    std::uint16_t port() const { return port_; }

  private:
    void serve()
    {
        for (;;) {
            int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            raw_ ? serve_raw(client) : serve_smtp(client);
            ::close(client);
        }
    }
    static bool say(int client, const char *text) { return ::send(client, text, std::strlen(text), 0) > 0; }

    void serve_raw(int client)
    {
        std::uint64_t expected = 0;
        std::uint64_t got = 0;
        std::string buffer(1 << 18, '\0');
        bool have_length = false;
        std::string head;
        while (!have_length || got < expected) {
            ssize_t n = ::recv(client, &buffer[0], buffer.size(), 0);
            if (n <= 0) {
                return;
            }
            std::size_t used = 0;
            if (!have_length) {
                std::size_t take = std::min<std::size_t>(8 - head.size(), static_cast<std::size_t>(n));
                head.append(buffer.data(), take);
                used = take;
                if (head.size() == 8) {
                    std::memcpy(&expected, head.data(), 8);
                    have_length = true;
                }
            }
            got += static_cast<std::uint64_t>(n) - used;
        }
        say(client, "k");
    }

    void serve_smtp(int client)
    {
        if (!say(client, "220 sink ready\r\n")) {
            return;
        }
        std::string pending;
        std::string buffer(1 << 18, '\0');
        bool in_data = false;
        for (;;) {
            if (in_data) {
                std::size_t end = pending.find("\r\n.\r\n");
                if (end == std::string::npos) {
                    // Keep only what could begin the end marker.
                    if (pending.size() > 4) {
                        pending.erase(0, pending.size() - 4);
                    }
                } else {
                    pending.erase(0, end + 5);
                    in_data = false;
                    say(client, "250 taken\r\n");
                    continue;
                }
            } else {
                std::size_t end = pending.find("\r\n");
                if (end != std::string::npos) {
                    std::string line = pending.substr(0, end);
                    pending.erase(0, end + 2);
                    if (line.compare(0, 4, "EHLO") == 0) {
                        say(client, "250-sink\r\n250-8BITMIME\r\n250 SIZE 100000000\r\n");
                    } else if (line == "DATA") {
                        say(client, "354 go on\r\n");
                        in_data = true;
                        pending.insert(0, "\r\n"); // the data starts on a new line
                    } else if (line == "QUIT") {
                        say(client, "221 bye\r\n");
                        return;
                    } else {
                        say(client, "250 ok\r\n");
                    }
                    continue;
                }
            }
            ssize_t n = ::recv(client, &buffer[0], buffer.size(), 0);
            if (n <= 0) {
                return;
            }
            pending.append(buffer.data(), static_cast<std::size_t>(n));
        }
    }

    bool raw_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

std::string bytes_of_size(std::size_t size)
{
    std::string bytes(size, '\0');
    unsigned value = 17;
    for (char &c : bytes) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>(value >> 16);
    }
    return bytes;
}

// A scratch store and a profile that sends to the sink.
class Scratch {
  public:
    explicit Scratch(std::uint16_t port)
    {
        folder_ = fs::temp_directory_path() / ("zorva-smtp-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        std::ofstream(folder_ / "zorva_provider.ini")
            << "default_profile = ann\n[profile ann]\nstore = store\naddress = ann@example.com\n"
               "smtp_server = 127.0.0.1\nsmtp_port = "
            << port << "\nsmtp_timeout = 10\n";
        ::setenv("ZORVA_PROVIDER_CONFIG", (folder_ / "zorva_provider.ini").c_str(), 1);
    }
    ~Scratch() { fs::remove_all(folder_); }
    std::string file(const std::string &name, const std::string &bytes) const
    {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

  private:
    fs::path folder_;
};

void send_through_provider(benchmark::State &state, std::size_t attachment_size)
{
    SinkServer sink(false);
    Scratch scratch(sink.port());
    std::string attachment = attachment_size > 0 ? scratch.file("figures.bin", bytes_of_size(attachment_size)) : "";
    MapiHandle session = 0;
    char profile[] = "ann";
    char password[] = "";
    if (provider::logon(profile, password, MAPI_NEW_SESSION, &session) != SUCCESS_SUCCESS) {
        state.SkipWithError("logon failed");
        return;
    }
    char name[] = "Bob Roe";
    char address[] = "bob@example.org";
    char subject[] = "Figures";
    std::string note(1000, 'n');
    MapiRecipDesc recipient{0, MAPI_TO, name, address, 0, nullptr};
    MapiFileDesc file{0, 0, 0, &attachment[0], nullptr, nullptr};
    MapiMessage message{};
    message.lpszSubject = subject;
    message.lpszNoteText = &note[0];
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    message.nFileCount = attachment_size > 0 ? 1 : 0;
    message.lpFiles = attachment_size > 0 ? &file : nullptr;
    for (auto _ : state) {
        if (provider::send_mail(session, &message, 0) != SUCCESS_SUCCESS) {
            state.SkipWithError("MAPISendMail failed");
            break;
        }
    }
    provider::logoff(session);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (attachment_size + note.size())));
}

// Small messages: composed, queued, sent, removed, one connection each.
void BM_SendMailMessagesPerSecond(benchmark::State &state) { send_through_provider(state, 0); }
BENCHMARK(BM_SendMailMessagesPerSecond)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with a 10 MB attachment, base64 in the message.
void BM_SendMailTenMegabyteAttachment(benchmark::State &state) { send_through_provider(state, kLargeAttachment); }
BENCHMARK(BM_SendMailTenMegabyteAttachment)->Unit(benchmark::kMillisecond)->UseRealTime();

// Only the SMTP conversation of an already composed message with a 10 MB
// attachment (dot-stuffing and line ends included).

class ConnectionChannel : public provider::SmtpChannel {
  public:
    explicit ConnectionChannel(provider::Connection &connection) : connection_(connection) {}
    provider::NetStatus send(const char *data, std::size_t size) override
    {
        return connection_.send_all(data, size, 10000);
    }
    provider::NetStatus receive(char *buffer, std::size_t size, std::size_t &got) override
    {
        return connection_.receive(buffer, size, got, 10000);
    }

  private:
    provider::Connection &connection_;
};

std::string composed_large_message()
{
    provider::OutgoingMessage message;
    message.from_address = "ann@example.com";
    message.recipients.push_back({MAPI_TO, "Bob", "bob@example.org"});
    message.subject = "Figures";
    message.note_text = "See the attachment.";
    message.date = "Mon, 1 Jan 2024 10:00:00 +0000";
    message.message_id = "<bench@example.com>";
    message.boundary = "=_bench";
    provider::OutgoingAttachment attachment;
    attachment.file_name = "figures.bin";
    attachment.from_memory = true;
    attachment.bytes = bytes_of_size(kLargeAttachment);
    message.attachments.push_back(attachment);
    provider::StringSink sink;
    provider::compose_message(message, "", false, sink);
    return sink.bytes;
}

void BM_SmtpTransferOfTenMegabyteAttachment(benchmark::State &state)
{
    SinkServer sink(false);
    std::string text = composed_large_message();
    for (auto _ : state) {
        provider::NetStatus status = provider::NetStatus::Ok;
        provider::Connection connection = provider::Connection::open("127.0.0.1", sink.port(), 10000, status);
        ConnectionChannel channel(connection);
        provider::SmtpClient client(channel);
        provider::SmtpRequest request;
        request.client_name = "bench.example";
        request.sender = "ann@example.com";
        request.recipients = {"bob@example.org"};
        provider::TextSource source(text);
        if (client.send_message(request, source).result != provider::SmtpResult::Accepted) {
            state.SkipWithError("not accepted");
            break;
        }
        client.quit();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["message_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_SmtpTransferOfTenMegabyteAttachment)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: bytes copied through a plain loopback socket, the 10 MB
// themselves (arg 0) and the size of the composed message (arg 1).
void BM_PlainSocketCopy(benchmark::State &state)
{
    SinkServer sink(true);
    std::string bytes =
        state.range(0) == 0 ? bytes_of_size(kLargeAttachment) : bytes_of_size(composed_large_message().size());
    for (auto _ : state) {
        provider::NetStatus status = provider::NetStatus::Ok;
        provider::Connection connection = provider::Connection::open("127.0.0.1", sink.port(), 10000, status);
        std::uint64_t size = bytes.size();
        char head[8];
        std::memcpy(head, &size, 8);
        connection.send_all(head, 8, 10000);
        connection.send_all(bytes.data(), bytes.size(), 10000);
        char ack = 0;
        std::size_t got = 0;
        if (connection.receive(&ack, 1, got, 10000) != provider::NetStatus::Ok) {
            state.SkipWithError("no acknowledgement");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_PlainSocketCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
