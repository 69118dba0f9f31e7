#include "document_listing.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <memory>

namespace quillet {

namespace {

bool ends_with_htm(std::string_view name) {
    constexpr std::string_view kSuffix = ".htm";
    if (name.size() < kSuffix.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - kSuffix.size());
    return std::equal(end.begin(), end.end(), kSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

}  // namespace

bool is_html_document_name(std::string_view name) {
    return !name.empty() && name[0] != '.' && ends_with_htm(name);
}

void list_html_documents(const std::string& folder,
                         const std::function<void(std::string_view, const struct stat&)>& found,
                         std::vector<std::string>* sub_folders) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        return;
    }
    const int fd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name[0] == '.') {
            continue;
        }
        const bool document = is_html_document_name(name);
        const bool maybe_folder =
            sub_folders != nullptr && (entry->d_type == DT_DIR || entry->d_type == DT_LNK ||
                                       entry->d_type == DT_UNKNOWN);
        if (!document && !maybe_folder) {
            continue;
        }
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, 0) != 0) {
            continue;
        }
        if (document && S_ISREG(info.st_mode)) {
            found(name, info);
        } else if (maybe_folder && S_ISDIR(info.st_mode)) {
            sub_folders->emplace_back(name);
        }
    }
}

}  // namespace quillet
