// The library against our own provider, found as MAPI32.DLL the way a host
// on a machine without a desktop mail client finds it: every export's main
// path on a real store. Each case works in a folder of its own below the
// working folder; the store case also writes manifest.json there, which
// mime_check.py compares with the store's files through Python's own MIME
// parser.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host_platform.h"
#include "provider_fixture.h"
#include "test_files.h"
#include "zorva_library.h"

namespace fs = std::filesystem;

namespace {

const std::size_t kIdSize = 512;
const std::size_t kReportSize = 32768;
const std::size_t kAddressesSize = 8192;

// A JSON string of host bytes; bytes above 127 are the Windows-1252
// characters of the same value for the ones the tests use (Latin-1 letters).
std::string json_text(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string json_list(const std::vector<std::string> &items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i ? ", " : "") + json_text(items[i]);
    }
    return out + "]";
}

std::string hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// One GETMAIL call's outcome.
struct Got {
    int result;
    std::string id;
    std::string report;
};

class OurProviderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { host_platform::select_provider(host_platform::Provider::Ours); }

    void SetUp() override
    {
        folder_ = fs::absolute(::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "store");
        write_file((folder_ / "addressbook.txt").string(), "Ann Lee <ann@example.com>\nBob Roe <bob@example.com>\n");
        write_file((folder_ / "zorva_provider.ini").string(), "default_profile = ann\n"
                                                   "[profile ann]\n"
                                                   "store = store\n"
                                                   "name = Ann Lee\n"
                                                   "address = ann@example.com\n"
                                                   "address_book = addressbook.txt\n"
                                                   "attachment_folder = attachments\n"
                                                   "[profile bob]\n"
                                                   "store = store-bob\n"
                                                   "name = Bob Roe\n"
                                                   "address = bob@example.com\n"
                                                   "password = secret\n");
        host_platform::set_environment("ZORVA_PROVIDER_CONFIG", (folder_ / "zorva_provider.ini").string());
        // Attachment paths must fit a list item (79 characters): a short folder.
        files_ = fs::temp_directory_path() / "zorva-attach";
        fs::remove_all(files_);
        fs::create_directories(files_);
    }

    void TearDown() override { fs::remove_all(files_); }

    std::string file(const std::string &name, const std::string &bytes)
    {
        fs::path path = files_ / name;
        write_file(path.string(), bytes);
        return path.string();
    }

    int send(const std::string &recipients, const std::string &subject, const std::string &note,
             const std::string &attachments = "NULL")
    {
        HostText profile("ann"), password(""), to(recipients), title(subject), text(note), files(attachments);
        CallResult call = call_capturing(
            [&] { return lib.SENDMAIL(profile.get(), password.get(), to.get(), title.get(), text.get(), files.get()); });
        printed_ = call.printed;
        if (call.result == 0) {
            EXPECT_EQ(call.printed, "") << "sending " << subject;
        }
        return call.result;
    }

    // GETMAIL after the message `after` ("NULL": from the first).
    Got get(const std::string &after, const std::string &mode, bool unread_only = false,
            const std::string &new_subject = "", const std::string &profile_name = "ann",
            const std::string &secret = "")
    {
        std::vector<char> id(kIdSize, '\0');
        after.copy(id.data(), after.size());
        std::vector<char> report(kReportSize, '\0');
        HostText profile(profile_name), password(secret), ignored(""), how(mode), unread(unread_only ? "U" : ""),
            subject(new_subject);
        CallResult call = call_capturing([&] {
            return lib.GETMAIL(id.data(), profile.get(), password.get(), ignored.get(), report.data(), ignored.get(),
                               how.get(), unread.get(), subject.get());
        });
        printed_ = call.printed;
        return Got{call.result, std::string(id.data()), std::string(report.data())};
    }

    // The inbox as INBOX lists it, its header line taken off.
    std::string inbox(int expected = 0)
    {
        HostText profile("ann"), password("");
        CallResult call = call_capturing([&] { return lib.INBOX(profile.get(), password.get()); });
        EXPECT_EQ(call.result, expected) << call.printed;
        const std::string header = "\nContents of the INBOX are as follows\n\n\n";
        EXPECT_EQ(call.printed.rfind(header, 0), 0u) << call.printed;
        return call.printed.size() >= header.size() ? call.printed.substr(header.size()) : call.printed;
    }

    // Every message's ID, walking with peeks as a host does.
    std::vector<std::string> walk(bool unread_only = false)
    {
        std::vector<std::string> ids;
        std::string after = "NULL";
        for (Got got = get(after, "P", unread_only); got.result == 0 && ids.size() < 100;
             got = get(after, "P", unread_only)) {
            ids.push_back(got.id);
            after = got.id;
        }
        return ids;
    }

    const ZorvaLibrary &lib = zorva();
    fs::path folder_;
    fs::path files_;
    std::string printed_;
};

std::string report_field(const std::string &report, const std::string &name)
{
    std::size_t at = report.find("\n" + name + ":");
    if (at == std::string::npos) {
        return "(missing)";
    }
    at += name.size() + 2;
    std::size_t end = name == "Message" ? report.size() : report.find('\n', at);
    return report.substr(at, end - at);
}

TEST_F(OurProviderTest, VersionNeedsNoMailSystem)
{
    char version[64];
    std::memset(version, 'x', sizeof version);
    lib.mapi_version(version);
    EXPECT_STREQ(version, "1.06 01/12/2000 KXB");
}

TEST_F(OurProviderTest, SentMessageIsListedAndReadBackWithItsAttachment)
{
    std::string bytes = binary_bytes(70000);
    std::string attachment = file("figures.bin", bytes);
    ASSERT_EQ(send("TO|Ann Lee|ann@example.com", "Figures", "Hello.\rSecond line.", attachment), 0);

    std::string listed = inbox();
    std::smatch line;
    ASSERT_TRUE(std::regex_match(listed, line, std::regex("([^\t\n]+)\t(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d)\tFigures\n")))
        << listed;

    Got got = get("NULL", "P");
    ASSERT_EQ(got.result, 0) << printed_;
    EXPECT_EQ(got.id, line[1].str());
    EXPECT_EQ(got.report.rfind("MAILMESSAGE\n", 0), 0u) << got.report;
    EXPECT_EQ(report_field(got.report, "From"), "Ann Lee");
    EXPECT_NE(report_field(got.report, "Address").find("ann@example.com"), std::string::npos) << got.report;
    EXPECT_EQ(report_field(got.report, "Date Received"), line[2].str());
    EXPECT_EQ(report_field(got.report, "Subject"), "Figures");
    // The library turned the host's carriage return into a line feed.
    EXPECT_EQ(report_field(got.report, "Message").substr(0, 19), "Hello.\nSecond line.") << got.report;
    std::string saved = report_field(got.report, "Attachment");
    EXPECT_EQ(read_file(saved), bytes) << "attachment written to " << saved;
}

TEST_F(OurProviderTest, PeekLeavesUnreadAndMarkReads)
{
    ASSERT_EQ(send("TO|Ann Lee|ann@example.com", "one", "1"), 0);
    ASSERT_EQ(send("TO|Ann Lee|ann@example.com", "two", "2"), 0);
    std::vector<std::string> all = walk();
    ASSERT_EQ(all.size(), 2u);
    inbox(); // a listing reads only the envelopes
    EXPECT_EQ(walk(true), all) << "peeks and the listing marked messages read";

    Got marked = get("NULL", "M", true);
    ASSERT_EQ(marked.result, 0) << printed_;
    EXPECT_EQ(marked.id, all[0]);
    EXPECT_EQ(walk(true), std::vector<std::string>{all[1]});
    // Taking the unread ones one by one with NULL, as the contract describes.
    EXPECT_EQ(get("NULL", "M", true).id, all[1]);
    EXPECT_EQ(get("NULL", "M", true).result, 1);
    EXPECT_EQ(walk(), all) << "marking lost a message";
}

TEST_F(OurProviderTest, UpdateRewritesTheSubjectOfTheMessageFound)
{
    for (const char *subject : {"first", "second", "third"}) {
        ASSERT_EQ(send("TO|Ann Lee|ann@example.com", subject, "text"), 0);
    }
    std::vector<std::string> ids = walk();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(get(ids[0], "U", false, "second, filed").result, 0) << printed_;
    EXPECT_EQ(get("NULL", "U", false, "first, filed").result, 0) << printed_;

    std::vector<std::string> subjects;
    std::string after = "NULL";
    for (Got got = get(after, "P"); got.result == 0; got = get(after, "P")) {
        subjects.push_back(report_field(got.report, "Subject"));
        EXPECT_EQ(report_field(got.report, "Message").substr(0, 4), "text");
        after = got.id;
    }
    EXPECT_EQ(subjects, (std::vector<std::string>{"first, filed", "second, filed", "third"}));
}

TEST_F(OurProviderTest, DeleteTakesTheMessageFoundAndNothingElse)
{
    for (const char *subject : {"a", "b", "c"}) {
        ASSERT_EQ(send("TO|Ann Lee|ann@example.com", subject, "text"), 0);
    }
    std::vector<std::string> ids = walk();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(get(ids[0], "D").result, 0) << printed_; // b, the one after a
    EXPECT_EQ(walk(), (std::vector<std::string>{ids[0], ids[2]}));
    EXPECT_EQ(get(ids[2], "D").result, 1) << "nothing after the last";
    EXPECT_EQ(get("NULL", "D").result, 0);
    EXPECT_EQ(get("NULL", "D").result, 0);
    EXPECT_EQ(get("NULL", "D").result, 1);
    EXPECT_EQ(inbox(), "");
}

TEST_F(OurProviderTest, AddressBookResolvesTheInitialRecipients)
{
    HostText profile("ann"), password(""), initial("TO|Bob Roe||CC||ann@example.com");
    std::vector<char> chosen(kAddressesSize, '\0');
    CallResult call = call_capturing(
        [&] { return lib.ADDRESSBOOK(profile.get(), password.get(), initial.get(), chosen.data()); });
    ASSERT_EQ(call.result, 0) << call.printed;
    std::string text(chosen.data());
    EXPECT_NE(text.find("TO|Bob Roe|"), std::string::npos) << text;
    EXPECT_NE(text.find("bob@example.com"), std::string::npos) << text;
    EXPECT_NE(text.find("CC|Ann Lee|"), std::string::npos) << text;

    // What the address book gave is a recipient list SENDMAIL takes.
    EXPECT_EQ(send(text, "to the chosen", "text"), 0);
    EXPECT_EQ(walk().size(), 1u) << "the copy to Ann's own address";
}

struct RefusedLogon {
    const char *profile;
    const char *password;
};

class RefusedLogonTest : public OurProviderTest, public ::testing::WithParamInterface<RefusedLogon> {};

TEST_P(RefusedLogonTest, PrintsTheLogonTextAndTouchesNothing)
{
    Got got = get("NULL", "P", false, "", GetParam().profile, GetParam().password);
    EXPECT_EQ(got.result, -1);
    EXPECT_EQ(printed_, "Unable to Login to the Mail Server\n");
    EXPECT_EQ(got.id, "NULL");
}

INSTANTIATE_TEST_SUITE_P(Logons, RefusedLogonTest,
                         ::testing::Values(RefusedLogon{"nobody", ""}, RefusedLogon{"bob", "wrong"},
                                           RefusedLogon{"bob", ""}));

TEST_F(OurProviderTest, FailedSendKeepsNothingAndSaysWhy)
{
    std::string missing = (files_ / "not-there.txt").string();
    EXPECT_EQ(send("TO|Ann Lee|ann@example.com", "lost file", "text", missing), -1)
        << "a missing attachment was accepted";
    EXPECT_EQ(printed_, "Mail not sent 11 \n"); // MAPI_E_ATTACHMENT_NOT_FOUND
    EXPECT_EQ(walk().size(), 0u);
}

// The messages mime_check.py finds in the store: sent to Ann herself into
// the inbox, to others into the outbox.
TEST_F(OurProviderTest, StoreFilesForTheMimeCheck)
{
    struct Sent {
        std::string folder;
        std::string recipients;
        std::string subject;
        std::string note;
        std::vector<std::pair<std::string, std::string>> files; // name, bytes
        std::vector<std::string> to, cc, bcc;
    };
    std::string long_line(1500, 'x');
    std::vector<Sent> sent = {
        {"inbox", "TO|Ann Lee|ann@example.com", "Plain", "One line.", {}, {"ann@example.com"}, {}, {}},
        {"inbox",
         "TO|Ann Lee|ann@example.com",
         "Gr\xFC\xDF" "e aus M\xFCnchen",
         "Caf\xE9 cr\xE8me.\r.a line with a leading dot\r..and two\r" + long_line + "\rend.",
         {{"data.bin", binary_bytes(100000)}, {"empty file.txt", ""}, {"notes.txt", "line 1\r\nline 2\r\n"}},
         {"ann@example.com"},
         {},
         {}},
        {"outbox",
         "TO|Bob Roe|bob@example.com|CC|Carl|carl@example.org|BCC|Dora|dora@example.net",
         "To others, with a blind copy",
         "Hidden from the header: Dora.",
         {{"a.txt", "a"}},
         {"bob@example.com"},
         {"carl@example.org"},
         {"dora@example.net"}},
    };

    std::string manifest = "[\n";
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const Sent &message = sent[i];
        std::string attachments = message.files.empty() ? "NULL" : "";
        std::string files_json = "[";
        for (std::size_t f = 0; f < message.files.size(); ++f) {
            attachments += (f ? "|" : "") + file(message.files[f].first, message.files[f].second);
            files_json += std::string(f ? ", " : "") + "{\"name\": " + json_text(message.files[f].first) +
                          ", \"hex\": \"" + hex(message.files[f].second) + "\"}";
        }
        files_json += "]";
        ASSERT_EQ(send(message.recipients, message.subject, message.note, attachments), 0) << message.subject;
        std::string note = message.note;
        for (char &c : note) {
            if (c == '\r') c = '\n';
        }
        manifest += "  {\"folder\": " + json_text(message.folder) + ", \"subject\": " + json_text(message.subject) +
                    ", \"note\": " + json_text(note) + ", \"to\": " + json_list(message.to) +
                    ", \"cc\": " + json_list(message.cc) + ", \"bcc\": " + json_list(message.bcc) +
                    ", \"from\": \"ann@example.com\", \"files\": " + files_json + "}" +
                    (i + 1 < sent.size() ? ",\n" : "\n");
    }
    manifest += "]\n";
    write_file((folder_ / "manifest.json").string(), manifest);
    EXPECT_EQ(walk().size(), 2u);
}

} // namespace
