#include "attachment_files.h"

#include <cctype>
#include <cstdio>

#include "mime_headers.h"
#include "platform/files.h"
#include "platform/system.h"

namespace provider {

namespace {

const char *const kAttachmentFolder = "zorva-attachments";
const char *const kFallbackName = "attachment";
const char *const kPartSuffix = ".part";
// File names are cut to this many bytes, the extension kept.
const std::size_t kLongestFileName = 120;
const std::size_t kLongestExtension = 16;
// Names tried when a file of the same name is still in use.
const int kMostNameVariants = 100;
const char kForbiddenInNames[] = "\\/:*?\"<>|";
const char *const kDeviceNames[] = {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5",
                                    "com6", "com7", "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4",
                                    "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};

std::string name_variant(const std::string &name, int variant)
{
    if (variant == 1) {
        return name;
    }
    std::size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    return stem + " (" + std::to_string(variant) + ")" + extension;
}

IoError write_new_file(const std::string &path, const std::string &bytes)
{
    IoError error = IoError::None;
    File file = File::create_new(path, error);
    if (!file.is_open()) {
        return error;
    }
    if (!file.write(bytes) || !file.close()) {
        IoError failure = file.error();
        file.close();
        remove_file(path);
        return failure == IoError::None ? IoError::Other : failure;
    }
    return IoError::None;
}

} // namespace

std::string attachment_root(const std::string &configured_folder)
{
    if (!configured_folder.empty()) {
        return configured_folder;
    }
    return join_path(temporary_folder(), kAttachmentFolder);
}

std::string safe_file_name(const std::string &name)
{
    std::string safe;
    for (char c : name) {
        unsigned char byte = static_cast<unsigned char>(c);
        bool forbidden = byte < 32 || byte == 127;
        for (const char *k = kForbiddenInNames; *k != '\0' && !forbidden; ++k) {
            forbidden = c == *k;
        }
        safe += forbidden ? '_' : c;
    }
    // Windows drops trailing dots and blanks; leading ones hide files.
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    while (!safe.empty() && (safe.front() == '.' || safe.front() == ' ')) safe.erase(0, 1);
    if (safe.size() > kLongestFileName) {
        std::size_t dot = safe.rfind('.');
        std::string extension =
            dot != std::string::npos && safe.size() - dot <= kLongestExtension ? safe.substr(dot) : "";
        safe = safe.substr(0, kLongestFileName - extension.size()) + extension;
    }
    if (safe.empty()) {
        return kFallbackName;
    }
    std::string stem = lower_ascii(safe.substr(0, safe.find('.')));
    for (const char *device : kDeviceNames) {
        if (stem == device) {
            return "_" + safe;
        }
    }
    return safe;
}

MapiULong AttachmentWriter::write(const std::string &file_name, const std::string &bytes, std::string &path)
{
    std::string root_folder = attachment_root(root_);
    std::string folder = join_path(root_folder, message_id_);
    make_folder(parent_folder(root_folder));
    make_folder(root_folder);
    if (make_folder(folder) != IoError::None) {
        return MAPI_E_ATTACHMENT_WRITE_FAILURE;
    }
    std::string name = safe_file_name(file_name);
    for (int variant = 1; variant <= kMostNameVariants; ++variant) {
        std::string candidate = join_path(folder, name_variant(name, variant));
        bool taken_now = false;
        for (const std::string &done : written_) {
            taken_now = taken_now || done == candidate;
        }
        if (taken_now) {
            continue; // two attachments of one name in this message
        }
        // Written beside it first, then renamed over an older copy of itself.
        char unique[32];
        std::snprintf(unique, sizeof unique, ".%08x%s", static_cast<unsigned>(process_id()), kPartSuffix);
        std::string part = candidate + unique;
        remove_file(part);
        if (write_new_file(part, bytes) != IoError::None) {
            return MAPI_E_ATTACHMENT_WRITE_FAILURE;
        }
        if (rename_path(part, candidate, true) == IoError::None) {
            written_.push_back(candidate);
            path = candidate;
            return SUCCESS_SUCCESS;
        }
        remove_file(part); // the older copy is open elsewhere: try another name
    }
    return MAPI_E_ATTACHMENT_WRITE_FAILURE;
}

void AttachmentWriter::discard()
{
    for (const std::string &path : written_) {
        remove_file(path);
    }
    written_.clear();
}

} // namespace provider
