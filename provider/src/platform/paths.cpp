#include "files.h"

namespace provider {

std::string join_path(const std::string &folder, const std::string &name)
{
    if (folder.empty()) {
        return name;
    }
    if (is_path_separator(folder.back())) {
        return folder + name;
    }
    return folder + kPathSeparator + name;
}

std::string parent_folder(const std::string &path)
{
    std::size_t end = path.size();
    while (end > 0 && !is_path_separator(path[end - 1])) {
        --end;
    }
    if (end == 0) {
        return "";
    }
    std::size_t keep = end - 1;
    if (keep == 0) {
        return path.substr(0, 1); // the root itself
    }
    return path.substr(0, keep);
}

std::string base_name(const std::string &path)
{
    std::size_t start = path.size();
    while (start > 0 && !is_path_separator(path[start - 1])) {
        --start;
    }
    return path.substr(start);
}

IoError read_whole_file(const std::string &path, std::string &bytes)
{
    bytes.clear();
    IoError error = IoError::None;
    File file = File::open_read(path, error);
    if (!file.is_open()) {
        return error;
    }
    char chunk[65536];
    for (;;) {
        std::size_t got = 0;
        if (!file.read(chunk, sizeof chunk, got)) {
            return file.error();
        }
        if (got == 0) {
            return IoError::None;
        }
        bytes.append(chunk, got);
    }
}

} // namespace provider
