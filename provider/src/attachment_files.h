// The files MAPIReadMail writes for a message's attachments: one folder per
// message under the attachment folder, each file under its own (cleaned)
// name, written completely before it appears.
#ifndef ZORVA_PROVIDER_ATTACHMENT_FILES_H
#define ZORVA_PROVIDER_ATTACHMENT_FILES_H

#include <string>
#include <vector>

#include "mapi/simple_mapi.h"

namespace provider {

// The folder under which a profile's attachment files go.
std::string attachment_root(const std::string &configured_folder);

// A name fit for a file on every system: no path separators, no characters
// Windows refuses, not a device name, not empty.
std::string safe_file_name(const std::string &name);

class AttachmentWriter {
  public:
    AttachmentWriter(std::string root, std::string message_id)
        : root_(std::move(root)), message_id_(std::move(message_id))
    {
    }
    // Writes one file; path is where it went. MAPI_E_ATTACHMENT_WRITE_FAILURE
    // when it cannot be written.
    MapiULong write(const std::string &file_name, const std::string &bytes, std::string &path);
    // Removes every file written so far (when the read fails after all).
    void discard();

  private:
    std::string root_;
    std::string message_id_;
    std::vector<std::string> written_;
};

} // namespace provider

#endif
