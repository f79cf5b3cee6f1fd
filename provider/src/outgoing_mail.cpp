#include "outgoing_mail.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "mail_address.h"
#include "mail_dates.h"
#include "platform/files.h"
#include "platform/system.h"
#include "recipients.h"

namespace provider {

namespace {

const char *const kReceivedBy = "zorva-provider";

std::string unique_token()
{
    static unsigned counter = 0;
    auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    char token[64];
    std::snprintf(token, sizeof token, "%llx.%x.%x", static_cast<unsigned long long>(ticks),
                  static_cast<unsigned>(process_id()), ++counter);
    return token;
}

} // namespace

MapiULong check_attachments(const MapiFileDesc *files, MapiULong count, std::vector<OutgoingAttachment> &checked)
{
    checked.clear();
    if (count > kMostFiles) {
        return MAPI_E_TOO_MANY_FILES;
    }
    if (count > 0 && files == nullptr) {
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    }
    for (MapiULong i = 0; i < count; ++i) {
        const MapiFileDesc &file = files[i];
        if (file.lpszPathName == nullptr || file.lpszPathName[0] == '\0') {
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        }
        OutgoingAttachment attachment;
        attachment.path = file.lpszPathName;
        PathInfo info = path_info(attachment.path);
        if (!info.exists) {
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        }
        IoError error = IoError::None;
        File probe = File::open_read(attachment.path, error);
        if (info.is_directory || !probe.is_open()) {
            return MAPI_E_ATTACHMENT_OPEN_FAILURE;
        }
        attachment.file_name = file.lpszFileName != nullptr && file.lpszFileName[0] != '\0'
                                   ? std::string(file.lpszFileName)
                                   : base_name(attachment.path);
        checked.push_back(attachment);
    }
    return SUCCESS_SUCCESS;
}

OutgoingMessage new_outgoing_message(const Profile &profile)
{
    OutgoingMessage message;
    message.from_name = profile.user_name;
    message.from_address = profile.user_address;
    std::time_t now = std::time(nullptr);
    message.date = format_mail_date(now, local_utc_offset_minutes(now));
    std::string token = unique_token();
    std::string domain = address_domain(profile.user_address);
    message.message_id = "<" + token + "@" + (domain.empty() ? std::string("localhost") : domain) + ">";
    message.boundary = "=_zorva_" + token;
    return message;
}

std::string received_field(const Profile &profile, const std::string &date)
{
    return std::string("Received: by ") + kReceivedBy + " for <" + profile.user_address + ">; " + date + "\r\n";
}

MapiULong store_composed(MailStore &store, StoreFolder folder, const OutgoingMessage &message,
                         const std::string &leading_fields, bool include_bcc, bool unread, std::string &id)
{
    TempFile temp;
    MapiULong result = store.create_temp(temp);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    FileSink sink(temp.file);
    result = compose_message(message, leading_fields, include_bcc, sink);
    if (result == MAPI_E_FAILURE && temp.file.error() == IoError::DiskFull) {
        result = MAPI_E_DISK_FULL;
    }
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    result = temp.finish();
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    return store.add_message(folder, temp, unread, id);
}

MapiULong deliver_local(MailStore &store, const Profile &profile, const OutgoingMessage &message)
{
    std::string id;
    return store_composed(store, StoreFolder::Inbox, message, received_field(profile, message.date), false, true,
                          id);
}

} // namespace provider
