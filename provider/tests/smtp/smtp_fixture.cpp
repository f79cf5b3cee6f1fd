#include "smtp_fixture.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host_platform.h"
#include "mapi/simple_mapi.h"
#include "provider_fixture.h"
#include "smtp_host.h"
#include "zorva_library.h"
#include "zorva_outbox.h"

namespace fs = std::filesystem;

namespace {

int scratch_counter = 0;

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        items.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return items;
        }
        start = end + 1;
    }
}

std::vector<std::string> sorted_names(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool same_ignoring_case(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string ReceivedMessage::header(const std::string &name) const
{
    for (const auto &field : headers) {
        if (same_ignoring_case(field.first, name)) {
            return field.second;
        }
    }
    return "";
}

void *provider_function(void *module, const char *name)
{
    void *address = host_platform::find_function(module, name);
    if (address == nullptr) {
        throw std::runtime_error(std::string("provider lacks ") + name);
    }
    return address;
}

unsigned CallOutcome::code() const
{
    std::size_t at = printed.find("Mail not sent ");
    return at == std::string::npos ? 0u : static_cast<unsigned>(std::stoul(printed.substr(at + 14)));
}

std::string lf_lines(const std::string &text)
{
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}

void SmtpTest::SetUp()
{
    server_ = smtp_host::server_folder();
    port_ = read_file((fs::path(server_) / "port").string());
    port_.erase(std::remove_if(port_.begin(), port_.end(), [](char c) { return c < '0' || c > '9'; }), port_.end());
    ASSERT_FALSE(port_.empty()) << "no port in " << server_ << "; is the server running?";
    std::error_code error;
    fs::remove_all(fs::path(server_) / "messages", error);
    fs::remove_all(fs::path(server_) / "dropped", error);
    set_mode("accept");
    for (;;) {
        fs::path candidate = fs::temp_directory_path() /
                             ("zorva-smtp-test-" + std::to_string(static_cast<long long>(std::time(nullptr))) +
                              "-" + std::to_string(++scratch_counter));
        if (fs::create_directory(candidate, error)) {
            scratch_ = candidate.string();
            break;
        }
    }
    write_profile("");
    host_platform::set_environment("ZORVA_PROVIDER_CONFIG", (fs::path(scratch_) / "zorva_provider.ini").string());
    smtp_host::use_our_provider();
}

void SmtpTest::TearDown()
{
    std::error_code error;
    fs::remove_all(scratch_, error);
}

void SmtpTest::set_mode(const std::string &mode)
{
    write_file((fs::path(server_) / "mode").string(), mode + "\n");
}

void SmtpTest::write_profile(const std::string &extra_lines, const std::string &port)
{
    write_file((fs::path(scratch_) / "zorva_provider.ini").string(),
               "default_profile = ann\n"
               "[profile ann]\n"
               "store = store\n"
               "name = Ann Lee\n"
               "address = ann@example.com\n"
               "smtp_server = 127.0.0.1\n"
               "smtp_port = " +
                   (port.empty() ? port_ : port) +
                   "\n"
                   "smtp_timeout = 3\n" +
                   extra_lines);
}

CallOutcome SmtpTest::send(const std::string &recipients, const std::string &subject, const std::string &note,
                           const std::string &attachments, const std::string &password)
{
    HostText profile("ann"), secret(password), list(recipients), title(subject), text(note), files(attachments);
    CallResult call = call_capturing([&] {
        return zorva().SENDMAIL(profile.get(), secret.get(), list.get(), title.get(), text.get(), files.get());
    });
    return CallOutcome{call.result, call.printed};
}

CallOutcome SmtpTest::retry(unsigned flags, const std::string &password)
{
    void *module = host_platform::load_library(smtp_host::provider_path());
    if (module == nullptr) {
        throw std::runtime_error("cannot load " + smtp_host::provider_path());
    }
    auto logon = find<LPMAPILOGON>(module, "MAPILogon");
    auto logoff = find<LPMAPILOGOFF>(module, "MAPILogoff");
    auto retry_outbox = find<LPZORVARETRYOUTBOX>(module, "ZorvaRetryOutbox");
    HostText profile("ann"), secret(password);
    MapiHandle session = 0;
    CallOutcome outcome;
    outcome.result = static_cast<int>(logon(0, profile.get(), secret.get(), MAPI_NEW_SESSION, 0, &session));
    if (outcome.result == SUCCESS_SUCCESS) {
        std::vector<char> report(65536, 'x');
        outcome.result = static_cast<int>(
            retry_outbox(session, flags, report.data(), static_cast<MapiULong>(report.size())));
        outcome.printed = report.data();
        logoff(session, 0, 0, 0);
    }
    smtp_host::free_library(module);
    return outcome;
}

std::vector<ReceivedMessage> SmtpTest::received() const
{
    std::vector<ReceivedMessage> messages;
    fs::path base = fs::path(server_) / "messages";
    for (const std::string &name : sorted_names(base.string())) {
        if (name[0] == '.') {
            continue; // still being written
        }
        fs::path folder = base / name;
        ReceivedMessage message;
        message.raw = read_file((folder / "raw.eml").string());
        for (const std::string &line : split(read_file((folder / "summary").string()), '\n')) {
            std::vector<std::string> items = split(line, '\t');
            if (items[0] == "from" && items.size() == 2) {
                message.mail_from = items[1];
            } else if (items[0] == "rcpt" && items.size() == 2) {
                message.recipients.push_back(items[1]);
            } else if (items[0] == "header" && items.size() == 3) {
                message.headers.emplace_back(items[1], items[2]);
            } else if (items[0] == "part" && items.size() == 5) {
                ReceivedPart part;
                part.content_type = items[2];
                part.file_name = items[3];
                part.bytes = read_file((folder / ("part-" + items[1])).string());
                message.parts.push_back(part);
            }
        }
        messages.push_back(message);
    }
    return messages;
}

std::vector<std::string> SmtpTest::dropped() const
{
    std::vector<std::string> messages;
    fs::path base = fs::path(server_) / "dropped";
    for (const std::string &name : sorted_names(base.string())) {
        messages.push_back(read_file((base / name).string()));
    }
    return messages;
}

std::string SmtpTest::outbox_path() const { return (fs::path(scratch_) / "store" / "outbox").string(); }
std::string SmtpTest::inbox_path() const { return (fs::path(scratch_) / "store" / "inbox").string(); }

std::vector<std::string> SmtpTest::outbox() const { return sorted_names(outbox_path()); }

std::string SmtpTest::make_file(const std::string &name, const std::string &bytes) const
{
    std::string path = (fs::path(scratch_) / name).string();
    write_file(path, bytes);
    return path;
}
