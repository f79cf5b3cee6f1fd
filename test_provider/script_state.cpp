#include "script_state.h"

#include <cstddef>
#include <cstdio>

#include "script_api.h"

namespace test_provider {

ScriptState &state()
{
    static ScriptState the_state;
    return the_state;
}

std::optional<MapiULong> begin_call(const char *function, const std::string &arguments)
{
    ScriptState &s = state();
    int call = ++s.call_counts[function];
    if (s.logging) {
        s.log.push_back(std::string(function) + "(" + arguments + ")");
    }
    auto rule = s.failures.find(function);
    if (rule != s.failures.end() && (rule->second.nth == 0 || rule->second.nth == call)) {
        return rule->second.code;
    }
    return std::nullopt;
}

std::string quoted(const char *text)
{
    if (text == nullptr) {
        return "NULL";
    }
    std::string out = "\"";
    for (const char *p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string hex(MapiULong value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string number(MapiULong value)
{
    return std::to_string(value);
}

void store_append(StoredMessage stored)
{
    ScriptState &s = state();
    s.store_index.emplace(stored.id, s.store.size());
    s.store.push_back(std::move(stored));
}

void store_erase(size_t index)
{
    ScriptState &s = state();
    s.store.erase(s.store.begin() + static_cast<std::ptrdiff_t>(index));
    s.store_index.clear();
    for (size_t i = 0; i < s.store.size(); ++i) {
        s.store_index.emplace(s.store[i].id, i);
    }
}

int store_find(const char *id)
{
    if (id == nullptr) {
        return -1;
    }
    auto found = state().store_index.find(id);
    return found == state().store_index.end() ? -1 : static_cast<int>(found->second);
}

void *hand_out(std::unique_ptr<Allocation> allocation)
{
    void *address = allocation->address();
    state().buffers[address] = std::move(allocation);
    return address;
}

} // namespace test_provider

using namespace test_provider;

extern "C" {

void tp_reset(void)
{
    state() = ScriptState{};
}

int tp_loads(void) { return state().loads; }
int tp_unloads(void) { return state().unloads; }
int tp_sessions_opened(void) { return state().sessions_opened; }
int tp_sessions_open(void) { return static_cast<int>(state().open_sessions.size()); }
int tp_buffers_outstanding(void) { return static_cast<int>(state().buffers.size()); }

int tp_call_count(const char *function)
{
    auto found = state().call_counts.find(function);
    return found == state().call_counts.end() ? 0 : found->second;
}

void tp_log_calls(int on) { state().logging = on != 0; }

void tp_find_ignores_seed(int on) { state().find_ignores_seed = on != 0; }

int tp_log_size(void) { return static_cast<int>(state().log.size()); }

const char *tp_log_entry(int index)
{
    return state().log.at(static_cast<size_t>(index)).c_str();
}

void tp_fail(const char *function, MapiULong code, int nth)
{
    // Call numbers count from now on, so a rule set mid-test means what it says.
    int made = tp_call_count(function);
    state().failures[function] = FailureRule{code, nth == 0 ? 0 : made + nth};
}

void tp_store_add(const char *id, const MapiMessage *message, int unread)
{
    StoredMessage stored;
    stored.id = id;
    stored.message = OwnedMessage::from(*message);
    stored.unread = unread != 0;
    store_append(std::move(stored));
}

int tp_store_size(void) { return static_cast<int>(state().store.size()); }

const char *tp_store_id(int index)
{
    return state().store.at(static_cast<size_t>(index)).id.c_str();
}

const MapiMessage *tp_store_message(int index)
{
    return state().store.at(static_cast<size_t>(index)).message->view();
}

int tp_store_unread(int index)
{
    return state().store.at(static_cast<size_t>(index)).unread ? 1 : 0;
}

int tp_sent_count(void) { return static_cast<int>(state().sent.size()); }

const MapiMessage *tp_sent_message(int index)
{
    return state().sent.at(static_cast<size_t>(index)).message->view();
}

MapiULong tp_sent_flags(int index)
{
    return state().sent.at(static_cast<size_t>(index)).flags;
}

void tp_address_selection(const MapiRecipDesc *recipients, MapiULong count)
{
    state().address_selection.clear();
    for (MapiULong i = 0; i < count; ++i) {
        state().address_selection.push_back(OwnedRecip::from(recipients[i]));
    }
}

int tp_address_initial_count(void) { return static_cast<int>(state().address_initial.size()); }

const MapiRecipDesc *tp_address_initial(int index)
{
    static MapiRecipDesc view;
    view = state().address_initial.at(static_cast<size_t>(index)).view();
    return &view;
}

void tp_on_load(void) { ++state().loads; }
void tp_on_unload(void) { ++state().unloads; }

} // extern "C"
