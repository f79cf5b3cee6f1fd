// What sending and saving share: the files a host names checked before
// anything is written, a new message's own header values, and writing a
// composed message into a folder of the store.
#ifndef ZORVA_PROVIDER_OUTGOING_MAIL_H
#define ZORVA_PROVIDER_OUTGOING_MAIL_H

#include <vector>

#include "mail_composer.h"
#include "mail_store.h"
#include "mapi/simple_mapi.h"
#include "platform/files.h"
#include "profile_config.h"

namespace provider {

// A sink that writes into an open file.
class FileSink : public ByteSink {
  public:
    explicit FileSink(File &file) : file_(file) {}
    using ByteSink::write;
    bool write(const char *data, std::size_t size) override { return file_.write(data, size); }

  private:
    File &file_;
};

// Checks every file: MAPI_E_ATTACHMENT_NOT_FOUND when a path is missing or
// names nothing, MAPI_E_ATTACHMENT_OPEN_FAILURE when it cannot be read,
// MAPI_E_TOO_MANY_FILES past the limit.
MapiULong check_attachments(const MapiFileDesc *files, MapiULong count, std::vector<OutgoingAttachment> &checked);

// A message from the profile's user, dated now, with a new Message-ID.
OutgoingMessage new_outgoing_message(const Profile &profile);

// The trace field of a message delivered into the profile's own inbox.
std::string received_field(const Profile &profile, const std::string &date);

// Composes into a temporary file and adds it to a folder of the store.
MapiULong store_composed(MailStore &store, StoreFolder folder, const OutgoingMessage &message,
                         const std::string &leading_fields, bool include_bcc, bool unread, std::string &id);

// Delivers into the profile's own inbox, as unread mail.
MapiULong deliver_local(MailStore &store, const Profile &profile, const OutgoingMessage &message);

} // namespace provider

#endif
