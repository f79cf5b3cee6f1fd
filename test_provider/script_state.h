// The test provider's state, shared by the scripting interface and the
// MAPI function implementations.
#ifndef ZORVA_TEST_PROVIDER_SCRIPT_STATE_H
#define ZORVA_TEST_PROVIDER_SCRIPT_STATE_H

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "message_copy.h"

namespace test_provider {

struct StoredMessage {
    std::string id;
    std::unique_ptr<OwnedMessage> message;
    bool unread = true;
};

struct SentMessage {
    std::unique_ptr<OwnedMessage> message;
    MapiULong flags = 0;
};

struct FailureRule {
    MapiULong code = 0;
    int nth = 0; // 0: every call; otherwise the call number that fails
};

struct ScriptState {
    int loads = 0;
    int unloads = 0;
    int sessions_opened = 0;
    MapiHandle next_session = 0x5E55;
    std::set<MapiHandle> open_sessions;
    std::map<std::string, int> call_counts;
    std::map<std::string, FailureRule> failures;
    std::vector<std::string> log;
    bool logging = true;
    std::vector<StoredMessage> store;
    std::unordered_map<std::string, size_t> store_index; // first message with each ID
    bool find_ignores_seed = false;
    int next_message_number = 1;
    std::vector<SentMessage> sent;
    std::vector<OwnedRecip> address_selection;
    std::vector<OwnedRecip> address_initial;
    std::map<void *, std::unique_ptr<Allocation>> buffers;
};

ScriptState &state();

// Counts the call, logs it, and returns the injected code if this call fails.
std::optional<MapiULong> begin_call(const char *function, const std::string &arguments);

// Log formatting of one argument.
std::string quoted(const char *text);
std::string hex(MapiULong value);
std::string number(MapiULong value);

// The store, kept together with its index.
void store_append(StoredMessage stored);
void store_erase(size_t index);
// Index of the first message with this ID, or -1.
int store_find(const char *id);

// Hands an allocation to the caller, to come back through MAPIFreeBuffer.
void *hand_out(std::unique_ptr<Allocation> allocation);

} // namespace test_provider

#endif
