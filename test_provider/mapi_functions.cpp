// The test provider's Simple MAPI functions: a scripted message store with
// the published semantics (arrival order, unread marks, MAPI_PEEK,
// MAPI_UNREAD_ONLY, MAPI_ENVELOPE_ONLY), sessions that must be valid, and a
// record of everything it was handed.
#include <algorithm>
#include <cstring>

#include "script_api.h"
#include "script_state.h"

using namespace test_provider;

namespace {

bool valid_session(MapiHandle session)
{
    return state().open_sessions.count(session) != 0;
}

std::string recip_text(const MapiRecipDesc &recip)
{
    return "{" + number(recip.ulReserved) + "," + number(recip.ulRecipClass) + "," +
           quoted(recip.lpszName) + "," + quoted(recip.lpszAddress) + "," +
           number(recip.ulEIDSize) + "," + (recip.lpEntryID ? "EID" : "NULL") + "}";
}

void copy_id(char *destination, const std::string &id)
{
    size_t length = std::min(id.size(), static_cast<size_t>(MAPI_MESSAGE_ID_SIZE - 1));
    std::memcpy(destination, id.data(), length);
    destination[length] = '\0';
}

} // namespace

extern "C" {

MapiULong tp_MAPILogon(MapiHandle ui, char *profile, char *password, MapiULong flags,
                       MapiULong reserved, MapiHandle *session)
{
    if (auto code = begin_call("MAPILogon", number(ui) + "," + quoted(profile) + "," +
                                                quoted(password) + "," + hex(flags) + "," +
                                                number(reserved))) {
        return *code;
    }
    MapiHandle handle = state().next_session++;
    state().open_sessions.insert(handle);
    ++state().sessions_opened;
    *session = handle;
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPILogoff(MapiHandle session, MapiHandle ui, MapiULong flags, MapiULong reserved)
{
    bool known = valid_session(session);
    // A logoff attempt ends the session whatever it answers: the caller cannot do more.
    state().open_sessions.erase(session);
    if (auto code = begin_call("MAPILogoff", hex(static_cast<MapiULong>(session)) + "," +
                                                 number(ui) + "," + hex(flags) + "," +
                                                 number(reserved))) {
        return *code;
    }
    return known ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
}

MapiULong tp_MAPISendMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                          MapiULong flags, MapiULong reserved)
{
    if (auto code = begin_call("MAPISendMail", number(ui) + "," + hex(flags) + "," +
                                                   number(reserved))) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    if (message == nullptr) {
        return MAPI_E_FAILURE;
    }
    state().sent.push_back(SentMessage{OwnedMessage::from(*message), flags});
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPISendDocuments(MapiHandle ui, char *delimiter, char *paths, char *names,
                               MapiULong reserved)
{
    if (auto code = begin_call("MAPISendDocuments", number(ui) + "," + quoted(delimiter) + "," +
                                                        quoted(paths) + "," + quoted(names) +
                                                        "," + number(reserved))) {
        return *code;
    }
    return MAPI_E_NOT_SUPPORTED;
}

MapiULong tp_MAPIFindNext(MapiHandle session, MapiHandle ui, char *message_type, char *seed,
                          MapiULong flags, MapiULong reserved, char *message_id)
{
    if (auto code = begin_call("MAPIFindNext", number(ui) + "," + quoted(message_type) + "," +
                                                   quoted(seed) + "," + hex(flags) + "," +
                                                   number(reserved))) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    auto &store = state().store;
    size_t start = 0;
    if (seed != nullptr && seed[0] != '\0' && !state().find_ignores_seed) {
        int at = store_find(seed);
        if (at < 0) {
            return MAPI_E_INVALID_MESSAGE;
        }
        start = static_cast<size_t>(at) + 1;
    }
    for (size_t i = start; i < store.size(); ++i) {
        if ((flags & MAPI_UNREAD_ONLY) == 0 || store[i].unread) {
            copy_id(message_id, store[i].id);
            return SUCCESS_SUCCESS;
        }
    }
    return MAPI_E_NO_MESSAGES;
}

MapiULong tp_MAPIReadMail(MapiHandle session, MapiHandle ui, char *message_id, MapiULong flags,
                          MapiULong reserved, MapiMessage **message)
{
    if (auto code = begin_call("MAPIReadMail", number(ui) + "," + quoted(message_id) + "," +
                                                   hex(flags) + "," + number(reserved))) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    int at = store_find(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    StoredMessage &stored = state().store[static_cast<size_t>(at)];
    auto copy = stored.message->clone();
    copy->flags = stored.unread ? (copy->flags | MAPI_UNREAD) : (copy->flags & ~MAPI_UNREAD);
    if (flags & MAPI_ENVELOPE_ONLY) {
        copy->note_text.reset();
        copy->files.clear();
    }
    if ((flags & MAPI_PEEK) == 0) {
        stored.unread = false;
    }
    *message = static_cast<MapiMessage *>(hand_out(std::move(copy)));
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPISaveMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                          MapiULong flags, MapiULong reserved, char *message_id)
{
    if (auto code = begin_call("MAPISaveMail", number(ui) + "," + hex(flags) + "," +
                                                   number(reserved) + "," +
                                                   quoted(message_id))) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    if (message == nullptr || message_id == nullptr) {
        return MAPI_E_FAILURE;
    }
    if (message_id[0] == '\0') {
        StoredMessage stored;
        stored.id = "new-" + std::to_string(state().next_message_number++);
        stored.message = OwnedMessage::from(*message);
        copy_id(message_id, stored.id);
        store_append(std::move(stored));
        return SUCCESS_SUCCESS;
    }
    int at = store_find(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    // The originator is ignored: a saved message keeps its sender.
    auto &kept = state().store[static_cast<size_t>(at)].message;
    auto saved = OwnedMessage::from(*message);
    saved->originator = kept->originator;
    kept = std::move(saved);
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPIDeleteMail(MapiHandle session, MapiHandle ui, char *message_id,
                            MapiULong flags, MapiULong reserved)
{
    if (auto code = begin_call("MAPIDeleteMail", number(ui) + "," + quoted(message_id) + "," +
                                                     hex(flags) + "," + number(reserved))) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    int at = store_find(message_id);
    if (at < 0) {
        return MAPI_E_INVALID_MESSAGE;
    }
    store_erase(static_cast<size_t>(at));
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPIFreeBuffer(void *buffer)
{
    if (auto code = begin_call("MAPIFreeBuffer", buffer ? "buffer" : "NULL")) {
        return *code;
    }
    if (buffer == nullptr) {
        return SUCCESS_SUCCESS;
    }
    auto found = state().buffers.find(buffer);
    if (found == state().buffers.end()) {
        state().log.push_back("MAPIFreeBuffer: not a buffer of ours");
        return MAPI_E_FAILURE;
    }
    state().buffers.erase(found);
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPIAddress(MapiHandle session, MapiHandle ui, char *caption, MapiULong edit_fields,
                         char *labels, MapiULong count, MapiRecipDesc *recipients,
                         MapiULong flags, MapiULong reserved, MapiULong *new_count,
                         MapiRecipDesc **new_recipients)
{
    std::string arguments = number(ui) + "," + quoted(caption) + "," + number(edit_fields) +
                            "," + quoted(labels) + "," + number(count) + ",[";
    for (MapiULong i = 0; i < count && recipients != nullptr; ++i) {
        arguments += (i ? "," : "") + recip_text(recipients[i]);
    }
    arguments += "]," + hex(flags) + "," + number(reserved);
    if (auto code = begin_call("MAPIAddress", arguments)) {
        return *code;
    }
    if (!valid_session(session)) {
        return MAPI_E_INVALID_SESSION;
    }
    state().address_initial.clear();
    for (MapiULong i = 0; i < count; ++i) {
        state().address_initial.push_back(OwnedRecip::from(recipients[i]));
    }
    auto chosen = std::make_unique<OwnedRecipArray>();
    chosen->recips = state().address_selection;
    *new_count = static_cast<MapiULong>(chosen->recips.size());
    *new_recipients = static_cast<MapiRecipDesc *>(hand_out(std::move(chosen)));
    return SUCCESS_SUCCESS;
}

MapiULong tp_MAPIDetails(MapiHandle session, MapiHandle ui, MapiRecipDesc *recipient,
                         MapiULong flags, MapiULong reserved)
{
    (void)session;
    if (auto code = begin_call("MAPIDetails", number(ui) + "," +
                                                  (recipient ? recip_text(*recipient) : "NULL") +
                                                  "," + hex(flags) + "," + number(reserved))) {
        return *code;
    }
    return MAPI_E_NOT_SUPPORTED;
}

MapiULong tp_MAPIResolveName(MapiHandle session, MapiHandle ui, char *name, MapiULong flags,
                             MapiULong reserved, MapiRecipDesc **recipient)
{
    (void)session;
    (void)recipient;
    if (auto code = begin_call("MAPIResolveName", number(ui) + "," + quoted(name) + "," +
                                                      hex(flags) + "," + number(reserved))) {
        return *code;
    }
    return MAPI_E_NOT_SUPPORTED;
}

} // extern "C"
