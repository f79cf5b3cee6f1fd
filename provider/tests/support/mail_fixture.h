// The fixture of the provider's tests: a scratch folder with a
// configuration of three profiles, an address book and the profiles'
// stores, the configuration named by ZORVA_PROVIDER_CONFIG, and the
// provider loaded as the library loads it.
#ifndef ZORVA_PROVIDER_TESTS_MAIL_FIXTURE_H
#define ZORVA_PROVIDER_TESTS_MAIL_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "message_copy.h"
#include "provider_library.h"
#include "test_files.h"

bool file_exists(const std::string &path);
// The names in a folder, sorted; none when it does not exist.
std::vector<std::string> folder_names(const std::string &path);
std::string join(const std::string &folder, const std::string &name);

// A folder of its own, removed with everything in it afterwards.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return join(path_, name); }

  private:
    std::string path_;
};

struct OutRecipient {
    MapiULong recip_class = MAPI_TO;
    std::string name;
    std::string address;
};

struct OutFile {
    std::string path;
    std::string name; // empty: no file name given
};

// A message as a test hands it to MAPISendMail or MAPISaveMail.
struct Outgoing {
    std::string subject;
    std::string note;
    std::vector<OutRecipient> recipients;
    std::vector<OutFile> files;
    MapiULong flags = 0;
};

// Keeps the records of an Outgoing message alive for one call.
class OutgoingRecord {
  public:
    explicit OutgoingRecord(const Outgoing &message);
    MapiMessage *get() { return owned_.view(); }
    test_provider::OwnedMessage &owned() { return owned_; }

  private:
    test_provider::OwnedMessage owned_;
};

// What MAPIReadMail handed out, copied before it was released.
struct ReadResult {
    MapiULong code = 0;
    std::unique_ptr<test_provider::OwnedMessage> message;
    const test_provider::OwnedMessage &operator*() const { return *message; }
    const test_provider::OwnedMessage *operator->() const { return message.get(); }
};

// The text of a field that may be null, with null shown as "(null)".
std::string text_of(const test_provider::Text &text);

class ProviderFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the configuration file; the default has three profiles.
    void write_config(const std::string &text);
    static std::string default_config();

    void load_provider();
    void unload_provider();
    const ProviderFunctions &mapi() const { return provider_->functions(); }

    // Logs on (expecting success) and logs off in TearDown.
    MapiHandle logon(const std::string &profile = "ann", const std::string &password = "");
    MapiULong try_logon(const std::string &profile, const std::string &password, MapiHandle &session,
                        MapiULong flags = MAPI_LOGON_UI | MAPI_NEW_SESSION);
    void logoff(MapiHandle session);

    MapiULong send(MapiHandle session, const Outgoing &message, MapiULong flags = 0);
    // A message from Ann to herself, delivered into her inbox.
    std::string send_to_self(MapiHandle session, const std::string &subject, const std::string &note = "Hello",
                             const std::vector<OutFile> &files = {});
    // Every ID MAPIFindNext hands out, in order.
    std::vector<std::string> ids(MapiHandle session, MapiULong flags = MAPI_GUARANTEE_FIFO);
    ReadResult read(MapiHandle session, const std::string &id, MapiULong flags = MAPI_PEEK);

    std::string store(const std::string &profile = "ann") const;
    std::string inbox(const std::string &profile = "ann") const { return join(store(profile), "inbox"); }
    std::string outbox(const std::string &profile = "ann") const { return join(store(profile), "outbox"); }
    // The inbox file of a message, whatever its state.
    std::string message_file(const std::string &id, const std::string &profile = "ann") const;
    // Puts a complete message into the store's incoming/ folder.
    void drop(const std::string &name, const std::string &bytes, const std::string &profile = "ann") const;
    // A file in the scratch folder, for attaching.
    std::string make_file(const std::string &name, const std::string &bytes) const;

    ScratchFolder scratch_;
    std::string config_path_;

  private:
    std::unique_ptr<ProviderLibrary> provider_;
    std::vector<MapiHandle> sessions_;
};


#endif
