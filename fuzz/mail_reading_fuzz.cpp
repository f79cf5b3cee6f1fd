// Fuzzes GETMAIL's and INBOX's work on whatever a provider hands out:
// long, empty and null fields, missing originators, many attachments,
// attachment arrays missing, IDs that fill the whole ID buffer, success
// without a message, failures on any call, and seeds ignored.
//
// The library's platform layer is replaced here: the library "loads" a
// provider that lives in this program, fed by the fuzz input. The host's
// buffers are heap blocks of exactly the contract's sizes, so
// AddressSanitizer stops any write past them; after every call the
// provider checks that it was released, the session logged off and every
// message handed out freed.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "message_copy.h"

extern "C" {
#include "mail/mail_ops.h"
#include "platform/library_loader.h"
}

namespace {

using test_provider::OwnedFile;
using test_provider::OwnedMessage;
using test_provider::OwnedRecip;
using test_provider::Text;

constexpr size_t kHostIdSize = 512;
constexpr size_t kHostReportSize = 32768;
constexpr LibraryHandle kFakeModule = 0x4000;
constexpr MapiHandle kFakeSession = 0x5E55;

// Calls the provider can be told to fail, each on one call number.
enum Call { kLogon, kLogoff, kFindNext, kReadMail, kSaveMail, kDeleteMail, kFreeBuffer, kCalls };

struct StoredMessage {
    std::string id;
    std::unique_ptr<OwnedMessage> message;
    bool unread = true;
};

struct FakeProvider {
    std::vector<StoredMessage> store;
    bool ignores_seed = false;
    bool read_hands_out_nothing = false;
    bool files_array_missing = false;
    int fail_on[kCalls] = {};
    int calls[kCalls] = {};
    MapiULong fail_code = MAPI_E_FAILURE;
    int loads = 0;
    int unloads = 0;
    bool session_open = false;
    std::vector<std::unique_ptr<OwnedMessage>> handed_out;
};

FakeProvider fake;

bool fails(Call call)
{
    return ++fake.calls[call] == fake.fail_on[call];
}

// The ID as the library can hold it: at most 511 characters.
std::string held_id(const std::string &id)
{
    return id.substr(0, kHostIdSize - 1);
}

int find_stored(const char *id)
{
    for (size_t i = 0; i < fake.store.size(); ++i) {
        if (held_id(fake.store[i].id) == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

MapiULong ZORVA_STDCALL fake_logon(MapiHandle, char *, char *, MapiULong, MapiULong,
                                   MapiHandle *session)
{
    if (fails(kLogon)) {
        return fake.fail_code;
    }
    fake.session_open = true;
    *session = kFakeSession;
    return SUCCESS_SUCCESS;
}

MapiULong ZORVA_STDCALL fake_logoff(MapiHandle session, MapiHandle, MapiULong, MapiULong)
{
    if (session != kFakeSession || !fake.session_open) {
        std::abort();
    }
    fake.session_open = false;
    return fails(kLogoff) ? fake.fail_code : SUCCESS_SUCCESS;
}

MapiULong ZORVA_STDCALL fake_find_next(MapiHandle session, MapiHandle, char *, char *seed,
                                       MapiULong flags, MapiULong, char *message_id)
{
    if (session != kFakeSession || seed == nullptr || message_id == nullptr) {
        std::abort();
    }
    if (fails(kFindNext)) {
        return fake.fail_code;
    }
    size_t start = 0;
    if (seed[0] != '\0' && !fake.ignores_seed) {
        int at = find_stored(seed);
        if (at < 0) {
            return MAPI_E_INVALID_MESSAGE;
        }
        start = static_cast<size_t>(at) + 1;
    }
    for (size_t i = start; i < fake.store.size(); ++i) {
        if ((flags & MAPI_UNREAD_ONLY) == 0 || fake.store[i].unread) {
            // An ID of 512 characters or more fills the whole buffer, unterminated.
            const std::string &id = fake.store[i].id;
            std::memcpy(message_id, id.c_str(), std::min(id.size() + 1, kHostIdSize));
            return SUCCESS_SUCCESS;
        }
    }
    return MAPI_E_NO_MESSAGES;
}

MapiULong ZORVA_STDCALL fake_read_mail(MapiHandle session, MapiHandle, char *message_id,
                                       MapiULong flags, MapiULong, MapiMessage **message)
{
    if (session != kFakeSession || message_id == nullptr || message == nullptr) {
        std::abort();
    }
    if (fails(kReadMail)) {
        return fake.fail_code;
    }
    int at = find_stored(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    StoredMessage &stored = fake.store[static_cast<size_t>(at)];
    if ((flags & MAPI_PEEK) == 0) {
        stored.unread = false;
    }
    if (fake.read_hands_out_nothing) {
        *message = nullptr;
        return SUCCESS_SUCCESS;
    }
    auto copy = stored.message->clone();
    if (flags & MAPI_ENVELOPE_ONLY) {
        copy->note_text.reset();
        copy->files.clear();
    }
    MapiMessage *view = copy->view();
    if (fake.files_array_missing) {
        view->lpFiles = nullptr;
    }
    fake.handed_out.push_back(std::move(copy));
    *message = view;
    return SUCCESS_SUCCESS;
}

MapiULong ZORVA_STDCALL fake_save_mail(MapiHandle session, MapiHandle, MapiMessage *message,
                                       MapiULong, MapiULong, char *message_id)
{
    if (session != kFakeSession || message == nullptr || message_id == nullptr) {
        std::abort();
    }
    if (fails(kSaveMail)) {
        return fake.fail_code;
    }
    int at = find_stored(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    fake.store[static_cast<size_t>(at)].message->subject = test_provider::copy_text(message->lpszSubject);
    return SUCCESS_SUCCESS;
}

MapiULong ZORVA_STDCALL fake_delete_mail(MapiHandle session, MapiHandle, char *message_id,
                                         MapiULong, MapiULong)
{
    if (session != kFakeSession || message_id == nullptr) {
        std::abort();
    }
    if (fails(kDeleteMail)) {
        return fake.fail_code;
    }
    int at = find_stored(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    fake.store.erase(fake.store.begin() + at);
    return SUCCESS_SUCCESS;
}

// A failing release still releases, so that only the library's own leaks count.
MapiULong ZORVA_STDCALL fake_free_buffer(void *buffer)
{
    for (size_t i = 0; i < fake.handed_out.size(); ++i) {
        if (fake.handed_out[i]->view() == buffer) {
            fake.handed_out.erase(fake.handed_out.begin() + static_cast<std::ptrdiff_t>(i));
            return fails(kFreeBuffer) ? fake.fail_code : SUCCESS_SUCCESS;
        }
    }
    std::abort(); // not a buffer this provider handed out
}

// Never called by the mail-reading functions.
MapiULong ZORVA_STDCALL fake_unused()
{
    std::abort();
}

using AnyFunction = void (*)();

template <typename Fn> AnyFunction any(Fn fn)
{
    return reinterpret_cast<AnyFunction>(fn);
}

const struct {
    const char *name;
    AnyFunction function;
} kEntryPoints[] = {
    {"MAPILogon", any(fake_logon)},
    {"MAPILogoff", any(fake_logoff)},
    {"MAPISendMail", any(fake_unused)},
    {"MAPISendDocuments", any(fake_unused)},
    {"MAPIFindNext", any(fake_find_next)},
    {"MAPIReadMail", any(fake_read_mail)},
    {"MAPISaveMail", any(fake_save_mail)},
    {"MAPIDeleteMail", any(fake_delete_mail)},
    {"MAPIFreeBuffer", any(fake_free_buffer)},
    {"MAPIAddress", any(fake_unused)},
    {"MAPIDetails", any(fake_unused)},
    {"MAPIResolveName", any(fake_unused)},
};

Text fuzzed_text(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return std::nullopt;
    case 1:
        return std::string();
    case 2: {
        // Longer than the scratch and report texts.
        size_t length = input.ConsumeIntegralInRange<size_t>(kHostReportSize - 64, 70000);
        char fill = static_cast<char>(input.ConsumeIntegralInRange(1, 255));
        return std::string(length, fill);
    }
    case 3:
        return std::string("%s%n%x%%%") + input.ConsumeRandomLengthString(32);
    default:
        return input.ConsumeRandomLengthString(600);
    }
}

std::string fuzzed_id(FuzzedDataProvider &input, size_t number)
{
    // Unique however it is cut: the number comes first.
    std::string id = std::to_string(number) + ":";
    if (input.ConsumeBool()) {
        return id + std::string(input.ConsumeIntegralInRange<size_t>(kHostIdSize - 8, 700), 'i');
    }
    std::string tail = input.ConsumeRandomLengthString(40);
    return id + tail.substr(0, tail.find('\0'));
}

std::unique_ptr<OwnedMessage> fuzzed_message(FuzzedDataProvider &input)
{
    auto message = std::make_unique<OwnedMessage>();
    message->subject = fuzzed_text(input);
    message->note_text = fuzzed_text(input);
    message->date_received = fuzzed_text(input);
    if (input.ConsumeBool()) {
        OwnedRecip originator;
        originator.name = fuzzed_text(input);
        originator.address = fuzzed_text(input);
        message->originator = originator;
    }
    size_t files = input.ConsumeBool() ? input.ConsumeIntegralInRange<size_t>(0, 4)
                                       : input.ConsumeIntegralInRange<size_t>(0, 3000);
    bool long_paths = input.ConsumeBool();
    for (size_t i = 0; i < files; ++i) {
        OwnedFile file;
        if (long_paths || i % 7 != 3) {
            file.path_name = long_paths ? std::string(40, 'p') : "C:\\f" + std::to_string(i);
        }
        message->files.push_back(file);
    }
    return message;
}

const char *const kModes[] = {"P", "M", "D", "U", "m", "", "MM"};
const char *const kSwitches[] = {"", "U", "u"};

void check_balanced()
{
    if (fake.loads != fake.unloads || fake.session_open || !fake.handed_out.empty()) {
        std::abort();
    }
}

void check_terminated(const char *buffer, size_t size)
{
    if (std::memchr(buffer, '\0', size) == nullptr) {
        std::abort();
    }
}

} // namespace

extern "C" LibraryHandle platform_load_library(const char *)
{
    ++fake.loads;
    return kFakeModule;
}

extern "C" AnyFunction platform_find_function(LibraryHandle library, const char *name)
{
    if (library != kFakeModule) {
        std::abort();
    }
    for (const auto &entry : kEntryPoints) {
        if (std::strcmp(entry.name, name) == 0) {
            return entry.function;
        }
    }
    return nullptr;
}

extern "C" void platform_free_library(LibraryHandle library)
{
    if (library != kFakeModule) {
        std::abort();
    }
    ++fake.unloads;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The listing and diagnostics are not what is fuzzed.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    fake = FakeProvider{};
    size_t messages = input.ConsumeIntegralInRange<size_t>(0, 5);
    for (size_t i = 0; i < messages; ++i) {
        StoredMessage stored;
        stored.id = fuzzed_id(input, i);
        stored.message = fuzzed_message(input);
        stored.unread = input.ConsumeBool();
        fake.store.push_back(std::move(stored));
    }
    fake.ignores_seed = input.ConsumeBool();
    fake.read_hands_out_nothing = input.ConsumeIntegralInRange(0, 15) == 0;
    fake.files_array_missing = input.ConsumeIntegralInRange(0, 15) == 0;
    for (int &nth : fake.fail_on) {
        nth = input.ConsumeIntegralInRange(0, 3) == 0 ? input.ConsumeIntegralInRange(1, 6) : 0;
    }
    fake.fail_code = input.ConsumeIntegralInRange<MapiULong>(1, 26);

    // The host's buffers, exactly as large as the contract says.
    std::unique_ptr<char, decltype(&std::free)> id(static_cast<char *>(std::malloc(kHostIdSize)),
                                                   &std::free);
    std::unique_ptr<char, decltype(&std::free)> report(
        static_cast<char *>(std::malloc(kHostReportSize)), &std::free);
    std::strcpy(id.get(), ABSENT_MARKER);
    std::strcpy(report.get(), "untouched");
    std::string profile = "profile", password = "secret";

    int calls = input.ConsumeIntegralInRange(1, 4);
    for (int call = 0; call < calls; ++call) {
        if (input.ConsumeIntegralInRange(0, 4) == 0) {
            mail_inbox(profile.data(), password.data());
            check_balanced();
            continue;
        }
        std::string host_id = ABSENT_MARKER;
        if (!fake.store.empty() && input.ConsumeBool()) {
            size_t pick = input.ConsumeIntegralInRange<size_t>(0, fake.store.size() - 1);
            host_id = held_id(fake.store[pick].id);
        } else if (input.ConsumeBool()) {
            host_id = input.ConsumeRandomLengthString(kHostIdSize - 1);
        }
        // Passing back what the last call wrote, as a walking host does.
        if (input.ConsumeBool()) {
            std::memcpy(id.get(), host_id.c_str(), host_id.size() + 1);
        }
        std::string mode = input.PickValueInArray(kModes);
        std::string unread = input.PickValueInArray(kSwitches);
        Text subject = fuzzed_text(input);
        std::string new_subject = subject.value_or("");
        mail_get(id.get(), profile.data(), password.data(), report.get(), mode.data(),
                 unread.data(), new_subject.data());
        check_balanced();
        check_terminated(id.get(), kHostIdSize);
        check_terminated(report.get(), kHostReportSize);
    }
    return 0;
}
