#include "mail_store.h"

#include "message_copy.h"
#include "script_api.h"

void store_add(const StoreMessage &message)
{
    test_provider::OwnedMessage owned;
    owned.subject = message.subject;
    owned.note_text = message.note;
    owned.date_received = message.date;
    if (message.has_originator) {
        test_provider::OwnedRecip originator;
        originator.recip_class = MAPI_ORIG;
        originator.name = message.name;
        originator.address = message.address;
        owned.originator = originator;
    }
    for (const auto &path : message.attachments) {
        test_provider::OwnedFile file;
        file.position = static_cast<MapiULong>(-1);
        file.path_name = path;
        owned.files.push_back(file);
    }
    tp_store_add(message.id.c_str(), owned.view(), message.unread ? 1 : 0);
}

void store_add(const std::vector<StoreMessage> &messages)
{
    for (const auto &message : messages) {
        store_add(message);
    }
}

std::string store_summary()
{
    std::string summary;
    for (int i = 0; i < tp_store_size(); ++i) {
        const char *subject = tp_store_message(i)->lpszSubject;
        summary += (i ? "|" : "") + std::string(tp_store_id(i)) + ":" + (subject ? subject : "-") +
                   ":" + (tp_store_unread(i) ? "unread" : "read");
    }
    return summary;
}
