// The documents of one folder as the catalogue and the text index list them:
// plain files whose names end in ".htm" in any letter case, hidden ones (a
// leading ".") left out, a link counting as what it leads to.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Whether a file of that name is one (its kind aside).
bool is_html_document_name(std::string_view name);

// Calls found(name, info) for each document of folder (its path's bytes), in
// the order the folder lists them. With sub_folders set, also appends the
// names of the folder's sub-folders, hidden ones left out. A folder that
// cannot be read has no documents.
void list_html_documents(const std::string& folder,
                         const std::function<void(std::string_view, const struct stat&)>& found,
                         std::vector<std::string>* sub_folders = nullptr);

}  // namespace quillet
