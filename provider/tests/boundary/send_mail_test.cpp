// MAPISendMail: local delivery for the profile's own address, the outbox
// for every other one, recipients resolved against the address book, and
// bad input refused before anything is written.
#include "mail_fixture.h"

namespace {

class SendMailTest : public ProviderFixture {
  protected:
    std::string only_file(const std::string &folder)
    {
        std::vector<std::string> names = folder_names(folder);
        EXPECT_EQ(names.size(), 1u) << folder;
        return names.empty() ? std::string() : read_file(join(folder, names[0]));
    }
    // The header part of a message file.
    static std::string header_of(const std::string &file) { return file.substr(0, file.find("\r\n\r\n") + 2); }
};

TEST_F(SendMailTest, OwnAddressIsDeliveredIntoTheInbox)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "to myself";
    message.note = "note";
    message.recipients = {{MAPI_TO, "Me", "SMTP:Ann@Example.com"}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    EXPECT_TRUE(folder_names(outbox()).empty());
    std::vector<std::string> names = folder_names(inbox());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_NE(names[0].find(".unread.eml"), std::string::npos) << names[0];
    std::string header = header_of(read_file(join(inbox(), names[0])));
    EXPECT_EQ(header.rfind("Received: by zorva-provider for <ann@example.com>; ", 0), 0u) << header;
    EXPECT_NE(header.find("\r\nFrom: Ann Lee <ann@example.com>\r\n"), std::string::npos) << header;
    EXPECT_NE(header.find("\r\nTo: Me <Ann@Example.com>\r\n"), std::string::npos) << header;
    EXPECT_NE(header.find("\r\nMessage-ID: <"), std::string::npos) << header;
    EXPECT_NE(header.find("\r\nMIME-Version: 1.0\r\n"), std::string::npos) << header;
}

TEST_F(SendMailTest, OtherAddressesAreQueuedInTheOutbox)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "out";
    message.recipients = {{MAPI_TO, "Bob Roe", "bob@example.com"},
                          {MAPI_CC, "", "carl@example.org"},
                          {MAPI_BCC, "Secret", "dora@example.net"},
                          {MAPI_BCC, "", "bob@example.com"}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    EXPECT_TRUE(folder_names(inbox()).empty());
    std::string header = header_of(only_file(outbox()));
    EXPECT_EQ(header.rfind("X-Zorva-Envelope-To: bob@example.com,\r\n carl@example.org,\r\n dora@example.net\r\n", 0),
              0u)
        << header;
    EXPECT_NE(header.find("\r\nTo: Bob Roe <bob@example.com>\r\n"), std::string::npos) << header;
    EXPECT_NE(header.find("\r\nCc: Carl Dee <carl@example.org>\r\n"), std::string::npos)
        << "names come from the address book\n"
        << header;
    EXPECT_EQ(header.find("Bcc"), std::string::npos) << header;
    EXPECT_EQ(header.find("Secret"), std::string::npos) << header;
}

TEST_F(SendMailTest, MixedRecipientsGetOneCopyEachWayAndBccStaysHidden)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "mixed";
    message.recipients = {{MAPI_TO, "", "bob@example.com"}, {MAPI_BCC, "", "ann@example.com"}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    std::string local = header_of(only_file(inbox()));
    std::string queued = header_of(only_file(outbox()));
    EXPECT_EQ(local.find("Bcc"), std::string::npos) << local;
    EXPECT_NE(queued.find("X-Zorva-Envelope-To: bob@example.com\r\n"), std::string::npos) << queued;
}

TEST_F(SendMailTest, NamesAreResolvedAgainstTheAddressBook)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "names";
    message.recipients = {{MAPI_TO, "carl dee", ""}, {MAPI_TO, "Dora", ""}, {MAPI_CC, "eve@example.net", ""}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    std::string header = header_of(only_file(outbox()));
    EXPECT_NE(header.find("To: Carl Dee <carl@example.org>, Dora <dora@example.net>\r\n"), std::string::npos)
        << header;
    EXPECT_NE(header.find("Cc: eve@example.net\r\n"), std::string::npos) << header;
}

TEST_F(SendMailTest, HeaderTextCannotAddFields)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "hello\r\nBcc: victim@example.net";
    message.recipients = {{MAPI_TO, "Evil\r\nX-Injected: yes", "ann@example.com"}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    std::string header = header_of(only_file(inbox()));
    EXPECT_EQ(header.find("\r\nBcc:"), std::string::npos) << header;
    EXPECT_EQ(header.find("\r\nX-Injected:"), std::string::npos) << header;
}

struct BadSend {
    const char *label;
    std::vector<OutRecipient> recipients;
    std::vector<std::string> files; // names of files in the scratch folder; "!" + name: not created
    MapiULong flags;
    MapiULong expected;
};

std::vector<BadSend> bad_sends()
{
    const OutRecipient ann{MAPI_TO, "Ann", "ann@example.com"};
    return {
        {"no recipients", {}, {}, 0, MAPI_E_INVALID_RECIPS},
        {"recipient class MAPI_ORIG", {{MAPI_ORIG, "Ann", "ann@example.com"}}, {}, 0, MAPI_E_BAD_RECIPTYPE},
        {"recipient class 7", {ann, {7, "x", "x@example.com"}}, {}, 0, MAPI_E_BAD_RECIPTYPE},
        {"not an address", {{MAPI_TO, "Ann Lee", "addr1"}}, {}, 0, MAPI_E_INVALID_RECIPS},
        {"address with blanks", {{MAPI_TO, "", "ann lee@example.com"}}, {}, 0, MAPI_E_INVALID_RECIPS},
        {"empty recipient", {{MAPI_TO, "", ""}}, {}, 0, MAPI_E_INVALID_RECIPS},
        {"unknown name", {ann, {MAPI_TO, "Zed Nobody", ""}}, {}, 0, MAPI_E_UNKNOWN_RECIPIENT},
        {"ambiguous name", {{MAPI_TO, "Car", ""}}, {}, 0, MAPI_E_AMBIGUOUS_RECIPIENT},
        {"missing attachment", {ann}, {"here.txt", "!missing.txt"}, 0, MAPI_E_ATTACHMENT_NOT_FOUND},
        {"attachment is a folder", {ann}, {"/"}, 0, MAPI_E_ATTACHMENT_OPEN_FAILURE},
        {"empty attachment path", {ann}, {""}, 0, MAPI_E_ATTACHMENT_NOT_FOUND},
        {"a dialog is asked for", {ann}, {}, MAPI_DIALOG, MAPI_E_NOT_SUPPORTED},
    };
}

class BadSendTest : public SendMailTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(BadSendTest, IsRefusedAndNothingIsWritten)
{
    const BadSend c = bad_sends()[GetParam()];
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "refused";
    message.recipients = c.recipients;
    for (const std::string &name : c.files) {
        if (name.empty()) {
            message.files.push_back({"", ""});
        } else if (name == "/") {
            message.files.push_back({scratch_.path(), ""});
        } else if (name[0] == '!') {
            message.files.push_back({scratch_.file(name.substr(1)), ""});
        } else {
            message.files.push_back({make_file(name, "present"), ""});
        }
    }
    EXPECT_EQ(send(session, message, c.flags), c.expected) << c.label;
    EXPECT_TRUE(folder_names(inbox()).empty()) << c.label;
    EXPECT_TRUE(folder_names(outbox()).empty()) << c.label;
    EXPECT_TRUE(folder_names(join(store(), "tmp")).empty()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Input, BadSendTest, ::testing::Range<std::size_t>(0, bad_sends().size()),
                         [](const ::testing::TestParamInfo<std::size_t> &param_info) {
                             std::string name;
                             for (char c : std::string(bad_sends()[param_info.param].label)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST_F(SendMailTest, NullMessageIsRefused)
{
    MapiHandle session = logon();
    EXPECT_EQ(mapi().MAPISendMail(session, 0, nullptr, 0, 0), MAPI_E_FAILURE);
}

TEST_F(SendMailTest, ReceiptRequestIsCarriedAndReadBack)
{
    MapiHandle session = logon();
    Outgoing message;
    message.subject = "receipt";
    message.recipients = {{MAPI_TO, "", "ann@example.com"}};
    message.flags = MAPI_RECEIPT_REQUESTED;
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(read(session, found[0])->flags & MAPI_RECEIPT_REQUESTED, MAPI_RECEIPT_REQUESTED);
}

TEST_F(SendMailTest, LongAndEmptyTextsRoundTrip)
{
    MapiHandle session = logon();
    std::string long_line(5000, 'w');
    std::string note = long_line + "\n.leading dot\nFrom the start\ntrailing blank \n\ttab\n=equals=\n";
    std::string id = send_to_self(session, std::string(300, 's'), note);
    ReadResult result = read(session, id);
    EXPECT_EQ(text_of(result->note_text), note);
    EXPECT_EQ(text_of(result->subject), std::string(300, 's'));
    std::string empty = send_to_self(session, "", "");
    ReadResult blank = read(session, empty);
    EXPECT_EQ(text_of(blank->subject), "");
    EXPECT_EQ(text_of(blank->note_text), "");
    for (const std::string &line : {std::string("\r\n"), std::string("\n")}) {
        std::string file = read_file(message_file(id));
        std::size_t longest = 0;
        for (std::size_t start = 0, end; (end = file.find(line, start)) != std::string::npos; start = end + line.size()) {
            longest = std::max(longest, end - start);
        }
        EXPECT_LE(longest, 998u) << "no line of the file passes the limit";
    }
}

} // namespace
