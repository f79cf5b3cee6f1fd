#include "mail_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_host.h"

namespace fs = std::filesystem;

namespace {

const char *const kConfigVariable = "ZORVA_PROVIDER_CONFIG";
const char *const kAddressBook = "Ann Lee <ann@example.com>\n"
                                 "Bob Roe <bob@example.com>\n"
                                 "\"Carl Dee\" <carl@example.org>\n"
                                 "Carla Fox <carla@example.org>\n"
                                 "# a comment line\n"
                                 "Dora <SMTP:dora@example.net>\n"
                                 "not an address line\n";

int scratch_counter = 0;

} // namespace

std::string join(const std::string &folder, const std::string &name) { return (fs::path(folder) / name).string(); }

bool file_exists(const std::string &path)
{
    std::error_code error;
    return fs::exists(path, error);
}

std::vector<std::string> folder_names(const std::string &path)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScratchFolder::ScratchFolder()
{
    fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path candidate = base / ("zorva-provider-test-" + std::to_string(::testing::UnitTest::GetInstance()
                                                                                  ->random_seed()) +
                                     "-" + std::to_string(++scratch_counter) + "-" +
                                     std::to_string(static_cast<long long>(std::time(nullptr))));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    fs::remove_all(path_, error);
}

OutgoingRecord::OutgoingRecord(const Outgoing &message)
{
    owned_.subject = message.subject;
    owned_.note_text = message.note;
    owned_.flags = message.flags;
    for (const OutRecipient &recipient : message.recipients) {
        test_provider::OwnedRecip owned;
        owned.recip_class = recipient.recip_class;
        owned.name = recipient.name;
        owned.address = recipient.address;
        owned_.recips.push_back(owned);
    }
    for (const OutFile &file : message.files) {
        test_provider::OwnedFile owned;
        owned.path_name = file.path;
        if (!file.name.empty()) {
            owned.file_name = file.name;
        }
        owned_.files.push_back(owned);
    }
}

std::string text_of(const test_provider::Text &text) { return text ? *text : std::string("(null)"); }

std::string ProviderFixture::default_config()
{
    return "# profiles of the provider's tests\n"
           "[profile ann]\n"
           "store = store-ann\n"
           "name = Ann Lee\n"
           "address = ann@example.com\n"
           "address_book = addressbook.txt\n"
           "attachment_folder = attachments\n"
           "\n"
           "[profile bob]\n"
           "store = store-bob\n"
           "name = Bob Roe\n"
           "address = bob@example.com\n"
           "password = secret\n"
           "address_book = addressbook.txt\n"
           "attachment_folder = attachments\n";
}

void ProviderFixture::write_config(const std::string &text) { write_file(config_path_, text); }

void ProviderFixture::SetUp()
{
    config_path_ = scratch_.file("zorva_provider.ini");
    write_config(default_config());
    write_file(scratch_.file("addressbook.txt"), kAddressBook);
    test_host::set_environment(kConfigVariable, config_path_);
    load_provider();
}

void ProviderFixture::TearDown()
{
    for (MapiHandle session : sessions_) {
        EXPECT_EQ(mapi().MAPILogoff(session, 0, 0, 0), SUCCESS_SUCCESS) << "session " << session;
    }
    sessions_.clear();
    unload_provider();
    test_host::unset_environment(kConfigVariable);
}

void ProviderFixture::load_provider() { provider_ = std::make_unique<ProviderLibrary>(test_host::provider_library_path()); }

void ProviderFixture::unload_provider()
{
    sessions_.clear();
    provider_.reset();
}

MapiULong ProviderFixture::try_logon(const std::string &profile, const std::string &password, MapiHandle &session,
                                     MapiULong flags)
{
    std::string name = profile;
    std::string secret = password;
    return mapi().MAPILogon(0, &name[0], &secret[0], flags, 0, &session);
}

MapiHandle ProviderFixture::logon(const std::string &profile, const std::string &password)
{
    MapiHandle session = 0;
    MapiULong result = try_logon(profile, password, session);
    EXPECT_EQ(result, SUCCESS_SUCCESS) << "logon to " << profile;
    if (result == SUCCESS_SUCCESS) {
        sessions_.push_back(session);
    }
    return session;
}

void ProviderFixture::logoff(MapiHandle session)
{
    auto found = std::find(sessions_.begin(), sessions_.end(), session);
    if (found != sessions_.end()) {
        sessions_.erase(found);
    }
    EXPECT_EQ(mapi().MAPILogoff(session, 0, 0, 0), SUCCESS_SUCCESS);
}

MapiULong ProviderFixture::send(MapiHandle session, const Outgoing &message, MapiULong flags)
{
    OutgoingRecord record(message);
    return mapi().MAPISendMail(session, 0, record.get(), flags, 0);
}

std::string ProviderFixture::send_to_self(MapiHandle session, const std::string &subject, const std::string &note,
                                          const std::vector<OutFile> &files)
{
    Outgoing message;
    message.subject = subject;
    message.note = note;
    message.recipients = {{MAPI_TO, "Ann Lee", "ann@example.com"}};
    message.files = files;
    std::vector<std::string> before = ids(session);
    EXPECT_EQ(send(session, message), SUCCESS_SUCCESS) << "sending " << subject;
    std::vector<std::string> after = ids(session);
    EXPECT_EQ(after.size(), before.size() + 1) << "sending " << subject;
    return after.empty() ? std::string() : after.back();
}

std::vector<std::string> ProviderFixture::ids(MapiHandle session, MapiULong flags)
{
    std::vector<std::string> found;
    char seed[MAPI_MESSAGE_ID_SIZE] = "";
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    const std::size_t kMostIds = 100000;
    while (found.size() < kMostIds && mapi().MAPIFindNext(session, 0, nullptr, seed, flags, 0, id) == SUCCESS_SUCCESS) {
        found.push_back(id);
        std::copy(id, id + sizeof id, seed);
    }
    return found;
}

ReadResult ProviderFixture::read(MapiHandle session, const std::string &id, MapiULong flags)
{
    ReadResult result;
    std::string text = id;
    MapiMessage *message = nullptr;
    result.code = mapi().MAPIReadMail(session, 0, &text[0], flags, 0, &message);
    if (result.code == SUCCESS_SUCCESS) {
        EXPECT_NE(message, nullptr);
        if (message != nullptr) {
            result.message = test_provider::OwnedMessage::from(*message);
            EXPECT_EQ(mapi().MAPIFreeBuffer(message), SUCCESS_SUCCESS);
        }
    } else {
        EXPECT_EQ(message, nullptr) << "a failed read handed out a message";
    }
    return result;
}

std::string ProviderFixture::store(const std::string &profile) const { return scratch_.file("store-" + profile); }

std::string ProviderFixture::message_file(const std::string &id, const std::string &profile) const
{
    for (const char *suffix : {".unread.eml", ".eml"}) {
        std::string path = join(inbox(profile), id + suffix);
        if (file_exists(path)) {
            return path;
        }
    }
    return "";
}

void ProviderFixture::drop(const std::string &name, const std::string &bytes, const std::string &profile) const
{
    std::string incoming = join(store(profile), "incoming");
    std::error_code error;
    fs::create_directories(incoming, error);
    std::string temporary = join(incoming, "." + name + ".part");
    write_file(temporary, bytes);
    fs::rename(temporary, join(incoming, name));
}

std::string ProviderFixture::make_file(const std::string &name, const std::string &bytes) const
{
    std::string path = scratch_.file(name);
    write_file(path, bytes);
    return path;
}
