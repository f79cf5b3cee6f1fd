// Our own provider's mail store, driven through its exported functions as
// a host loads them: MAPIFindNext and MAPIReadMail on inboxes of 1,000 and
// 10,000 messages (each filled once), and MAPISendMail of a message with a
// 10 MB file set against a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mapi/simple_mapi.h"
#include "provider_library.h"
#include "test_host.h"

namespace {

constexpr std::size_t kAttachmentSize = 10 * 1024 * 1024;
const char *const kUserAddress = "bench@example.com";

// The temporary folder with the configuration, the stores and the files.
// An inbox of a given size, filled at its first use and kept to the end.
struct FilledStore {
    MapiHandle session = 0;
    std::vector<std::string> ids; // in the order MAPIFindNext gives them
};

struct Workspace {
    std::filesystem::path root;
    // The provider, from one load kept for the whole program.
    std::unique_ptr<ProviderLibrary> provider;
    std::string attachment; // a file of kAttachmentSize random bytes
    std::map<std::string, std::unique_ptr<FilledStore>> stores; // by profile
};

Workspace &workspace()
{
    static Workspace space;
    return space;
}

bool write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool set_up_workspace()
{
    Workspace &space = workspace();
    std::string pattern = (std::filesystem::temp_directory_path() / "provider_store_bench.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return false;
    }
    space.root = pattern;
    std::string config;
    for (const char *name : {"store1000", "store10000", "thinned1000", "thinned10000", "compose"}) {
        config += std::string("[profile ") + name + "]\nstore = " + name + "\nname = Bench User\naddress = " +
                  kUserAddress + "\nattachment_folder = attachments\n\n";
    }
    std::string config_path = (space.root / "zorva_provider.ini").string();
    std::filesystem::create_directory(space.root / "attachments");
    if (!write_file(config_path, config) || setenv("ZORVA_PROVIDER_CONFIG", config_path.c_str(), 1) != 0) {
        return false;
    }

    std::string bytes(kAttachmentSize, '\0');
    std::mt19937 generator(12345);
    for (char &byte : bytes) {
        byte = static_cast<char>(generator());
    }
    space.attachment = (space.root / "figures.bin").string();
    if (!write_file(space.attachment, bytes)) {
        return false;
    }

    try {
        space.provider = std::make_unique<ProviderLibrary>(test_host::provider_library_path());
    } catch (const std::exception &problem) {
        std::fprintf(stderr, "%s\n", problem.what());
        return false;
    }
    return true;
}

// A writable copy of a text, as a host passes it.
struct HostText {
    explicit HostText(const std::string &text) : bytes(text.begin(), text.end()) { bytes.push_back('\0'); }
    char *get() { return bytes.data(); }
    std::vector<char> bytes;
};

// A message to the profile's own address: an ordinary note, and the given
// file when there is one.
MapiULong send_to_self(MapiHandle session, const std::string &subject, const std::string &note,
                       const std::string &file_path)
{
    HostText subject_text(subject), note_text(note), name("Bench User"),
        address(std::string("SMTP:") + kUserAddress), path(file_path), file_name("figures.bin");
    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = name.get();
    recipient.lpszAddress = address.get();
    MapiFileDesc file{};
    file.nPosition = static_cast<MapiULong>(-1);
    file.lpszPathName = path.get();
    file.lpszFileName = file_name.get();
    MapiMessage message{};
    message.lpszSubject = subject_text.get();
    message.lpszNoteText = note_text.get();
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    if (!file_path.empty()) {
        message.nFileCount = 1;
        message.lpFiles = &file;
    }
    return workspace().provider->functions().MAPISendMail(session, 0, &message, 0, 0);
}

bool read_file(const std::string &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

// The first message is sent through MAPISendMail; the others are copies
// of its file written into the inbox under IDs of the store's own form
// (arrival number, "-", eight hex digits), as a store of that size would
// hold them after as many sends. A fresh logon then indexes the folder.
// (Sending all of them would flush every message to the disk: minutes
// for the larger store.)
FilledStore *filled_store(const std::string &name, int messages)
{
    auto &stores = workspace().stores;
    auto found = stores.find(name);
    if (found != stores.end()) {
        return found->second.get();
    }
    const ProviderFunctions &provider = workspace().provider->functions();
    HostText profile(name), password("");
    MapiHandle first_session = 0;
    if (provider.MAPILogon(0, profile.get(), password.get(), MAPI_NEW_SESSION, 0, &first_session) != SUCCESS_SUCCESS) {
        return nullptr;
    }
    MapiULong sent = send_to_self(first_session, "Quarterly figures", std::string(2000, 'n'), "");
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    MapiULong listed = provider.MAPIFindNext(first_session, 0, nullptr, id, 0, 0, id);
    provider.MAPILogoff(first_session, 0, 0, 0);
    const std::filesystem::path store_folder = workspace().root / name;
    std::string bytes;
    if (sent != SUCCESS_SUCCESS || listed != SUCCESS_SUCCESS ||
        !read_file((store_folder / "inbox" / (std::string(id) + ".unread.eml")).string(), bytes)) {
        return nullptr;
    }
    std::mt19937 generator(static_cast<unsigned>(messages));
    for (int i = 2; i <= messages; ++i) {
        char file_name[64];
        std::snprintf(file_name, sizeof file_name, "%010d-%08x.unread.eml", i, static_cast<unsigned>(generator()));
        if (!write_file((store_folder / "inbox" / file_name).string(), bytes)) {
            return nullptr;
        }
    }
    if (!write_file((store_folder / "sequence").string(), std::to_string(messages + 1) + "\n")) {
        return nullptr;
    }

    auto store = std::make_unique<FilledStore>();
    if (provider.MAPILogon(0, profile.get(), password.get(), MAPI_NEW_SESSION, 0, &store->session) != SUCCESS_SUCCESS) {
        return nullptr;
    }
    id[0] = '\0';
    while (provider.MAPIFindNext(store->session, 0, nullptr, id, 0, 0, id) == SUCCESS_SUCCESS) {
        store->ids.emplace_back(id);
    }
    if (store->ids.size() != static_cast<std::size_t>(messages)) {
        provider.MAPILogoff(store->session, 0, 0, 0);
        return nullptr;
    }
    return (stores[name] = std::move(store)).get();
}

const FilledStore *store_for(benchmark::State &state)
{
    const int messages = static_cast<int>(state.range(0));
    const FilledStore *store = filled_store("store" + std::to_string(messages), messages);
    if (store == nullptr) {
        state.SkipWithError("the store could not be filled");
    }
    return store;
}

// A filled store whose first half a host has read and deleted (through
// MAPIDeleteMail), once; ids keeps the messages still there.
const FilledStore *thinned_store_for(benchmark::State &state)
{
    const int messages = static_cast<int>(state.range(0));
    FilledStore *store = filled_store("thinned" + std::to_string(messages), messages);
    if (store != nullptr && store->ids.size() == static_cast<std::size_t>(messages)) {
        const LPMAPIDELETEMAIL delete_mail = workspace().provider->functions().MAPIDeleteMail;
        const std::size_t half = store->ids.size() / 2;
        for (std::size_t i = 0; i < half && store != nullptr; ++i) {
            HostText id(store->ids[i]);
            if (delete_mail(store->session, 0, id.get(), 0, 0) != SUCCESS_SUCCESS) {
                store = nullptr;
            }
        }
        if (store != nullptr) {
            store->ids.erase(store->ids.begin(), store->ids.begin() + static_cast<std::ptrdiff_t>(half));
        }
    }
    if (store == nullptr) {
        state.SkipWithError("the store could not be filled and thinned");
    }
    return store;
}

// One MAPIFindNext step from a seed in the middle (0) or just before the
// end (1) of the inbox; range(2) set: unread messages only.
void FindNextStep(benchmark::State &state)
{
    const FilledStore *store = store_for(state);
    if (store == nullptr) {
        return;
    }
    const std::size_t seed_at = state.range(1) == 0 ? store->ids.size() / 2 : store->ids.size() - 2;
    const MapiULong flags = state.range(2) != 0 ? MAPI_UNREAD_ONLY : 0;
    HostText seed(store->ids[seed_at]);
    char found[MAPI_MESSAGE_ID_SIZE];
    const LPMAPIFINDNEXT find_next = workspace().provider->functions().MAPIFindNext;
    for (auto _ : state) {
        if (find_next(store->session, 0, nullptr, seed.get(), flags, 0, found) != SUCCESS_SUCCESS) {
            state.SkipWithError("MAPIFindNext failed");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    if (store->ids[seed_at + 1] != found) {
        state.SkipWithError("MAPIFindNext did not find the next message");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The first message (no seed) once the first half of the inbox is
// deleted, as a host finds it when it reads and deletes its mail in turn.
void FindFirstAfterDeletes(benchmark::State &state)
{
    const FilledStore *store = thinned_store_for(state);
    if (store == nullptr) {
        return;
    }
    char found[MAPI_MESSAGE_ID_SIZE];
    const LPMAPIFINDNEXT find_next = workspace().provider->functions().MAPIFindNext;
    for (auto _ : state) {
        if (find_next(store->session, 0, nullptr, nullptr, 0, 0, found) != SUCCESS_SUCCESS) {
            state.SkipWithError("MAPIFindNext failed");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    if (store->ids.front() != found) {
        state.SkipWithError("MAPIFindNext did not find the first message left");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The whole inbox, one MAPIFindNext call per message, each seeded with the
// message found before.
void FindNextWalk(benchmark::State &state)
{
    const FilledStore *store = store_for(state);
    if (store == nullptr) {
        return;
    }
    const LPMAPIFINDNEXT find_next = workspace().provider->functions().MAPIFindNext;
    char id[MAPI_MESSAGE_ID_SIZE];
    for (auto _ : state) {
        id[0] = '\0';
        std::size_t found = 0;
        while (find_next(store->session, 0, nullptr, id, 0, 0, id) == SUCCESS_SUCCESS) {
            ++found;
        }
        if (found != store->ids.size()) {
            state.SkipWithError("the walk did not reach every message");
            break;
        }
    }
    const auto messages = static_cast<double>(store->ids.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * store->ids.size()));
    state.counters["per_message"] =
        benchmark::Counter(messages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// MAPIReadMail of the middle message, with MAPI_PEEK (0) or with
// MAPI_PEEK | MAPI_ENVELOPE_ONLY (1); the store does not change.
void ReadMail(benchmark::State &state)
{
    const FilledStore *store = store_for(state);
    if (store == nullptr) {
        return;
    }
    const MapiULong flags = MAPI_PEEK | (state.range(1) != 0 ? MAPI_ENVELOPE_ONLY : 0);
    HostText id(store->ids[store->ids.size() / 2]);
    const ProviderFunctions &provider = workspace().provider->functions();
    for (auto _ : state) {
        MapiMessage *message = nullptr;
        if (provider.MAPIReadMail(store->session, 0, id.get(), flags, 0, &message) != SUCCESS_SUCCESS ||
            message == nullptr || (message->flFlags & MAPI_UNREAD) == 0) {
            state.SkipWithError("MAPIReadMail failed, or marked the message read");
            break;
        }
        benchmark::DoNotOptimize(message->lpszSubject);
        provider.MAPIFreeBuffer(message);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// MAPISendMail of a message with the 10 MB file to the profile's own
// address: the file read, base64-encoded into a new message file, flushed
// and added to the inbox. The message is deleted again outside the timing.
void SendTenMegabytes(benchmark::State &state)
{
    const ProviderFunctions &provider = workspace().provider->functions();
    HostText profile("compose"), password("");
    MapiHandle session = 0;
    if (provider.MAPILogon(0, profile.get(), password.get(), MAPI_NEW_SESSION, 0, &session) != SUCCESS_SUCCESS) {
        state.SkipWithError("MAPILogon failed");
        return;
    }
    char id[MAPI_MESSAGE_ID_SIZE];
    for (auto _ : state) {
        if (send_to_self(session, "Figures", "The figures are attached.", workspace().attachment) !=
            SUCCESS_SUCCESS) {
            state.SkipWithError("MAPISendMail failed");
            break;
        }
        state.PauseTiming();
        id[0] = '\0';
        bool removed = provider.MAPIFindNext(session, 0, nullptr, id, 0, 0, id) == SUCCESS_SUCCESS &&
                       provider.MAPIDeleteMail(session, 0, id, 0, 0) == SUCCESS_SUCCESS;
        state.ResumeTiming();
        if (!removed) {
            state.SkipWithError("the sent message could not be deleted");
            break;
        }
    }
    provider.MAPILogoff(session, 0, 0, 0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kAttachmentSize));
}

// MAPIReadMail of a message carrying the 10 MB file, with MAPI_PEEK and
// MAPI_SUPPRESS_ATTACH (0) or MAPI_ENVELOPE_ONLY (1): no file is written,
// so this is what reading and taking the message apart costs.
void ReadTenMegabyteMessage(benchmark::State &state)
{
    const ProviderFunctions &provider = workspace().provider->functions();
    HostText profile("compose"), password("");
    MapiHandle session = 0;
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    if (provider.MAPILogon(0, profile.get(), password.get(), MAPI_NEW_SESSION, 0, &session) != SUCCESS_SUCCESS ||
        send_to_self(session, "Figures", "The figures are attached.", workspace().attachment) != SUCCESS_SUCCESS ||
        provider.MAPIFindNext(session, 0, nullptr, id, 0, 0, id) != SUCCESS_SUCCESS) {
        state.SkipWithError("the message could not be sent");
        provider.MAPILogoff(session, 0, 0, 0);
        return;
    }
    const MapiULong flags = MAPI_PEEK | (state.range(0) != 0 ? MAPI_ENVELOPE_ONLY : MAPI_SUPPRESS_ATTACH);
    for (auto _ : state) {
        MapiMessage *message = nullptr;
        if (provider.MAPIReadMail(session, 0, id, flags, 0, &message) != SUCCESS_SUCCESS || message == nullptr ||
            message->nFileCount != 1) {
            state.SkipWithError("MAPIReadMail failed");
            break;
        }
        provider.MAPIFreeBuffer(message);
    }
    provider.MAPIDeleteMail(session, 0, id, 0, 0);
    provider.MAPILogoff(session, 0, 0, 0);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The same 10 MB read whole and written to a new file, without (0) or with
// (1) forcing it to the disk as the store does with every message.
void CopyTenMegabytes(benchmark::State &state)
{
    const bool sync = state.range(0) != 0;
    const std::string target = (workspace().root / "copy.bin").string();
    std::vector<char> bytes(kAttachmentSize);
    for (auto _ : state) {
        int in = open(workspace().attachment.c_str(), O_RDONLY);
        int out = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const auto size = static_cast<ssize_t>(bytes.size());
        bool copied = in >= 0 && out >= 0 && read(in, bytes.data(), bytes.size()) == size &&
                      write(out, bytes.data(), bytes.size()) == size && (!sync || fsync(out) == 0);
        if (in >= 0) {
            close(in);
        }
        if (out >= 0) {
            copied = close(out) == 0 && copied;
        }
        if (!copied) {
            state.SkipWithError("the copy failed");
            break;
        }
    }
    std::filesystem::remove(target);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kAttachmentSize));
}

BENCHMARK(FindNextStep)
    ->ArgNames({"messages", "seed_at_end", "unread_only"})
    ->ArgsProduct({{1000, 10000}, {0, 1}, {0, 1}});
BENCHMARK(FindFirstAfterDeletes)->ArgName("messages")->Arg(1000)->Arg(10000);
BENCHMARK(FindNextWalk)->ArgName("messages")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadMail)->ArgNames({"messages", "envelope_only"})->ArgsProduct({{1000, 10000}, {0, 1}});
BENCHMARK(SendTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadTenMegabyteMessage)->ArgName("envelope_only")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyTenMegabytes)->ArgName("sync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    int status = 0;
    if (set_up_workspace()) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "the benchmark's workspace could not be set up\n");
        status = 1;
    }
    for (const auto &[messages, store] : workspace().stores) {
        (void)messages;
        workspace().provider->functions().MAPILogoff(store->session, 0, 0, 0);
    }
    workspace().stores.clear();
    workspace().provider.reset();
    std::error_code ignored;
    std::filesystem::remove_all(workspace().root, ignored);
    benchmark::Shutdown();
    return status;
}
