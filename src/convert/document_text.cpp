// The plain text of a converted document.
#include "document_text.h"

namespace quillet {

std::string document_text(std::string_view html) {
    return std::string(html);
}

}  // namespace quillet
