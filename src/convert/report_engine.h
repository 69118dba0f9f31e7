// Public face of the conversion engine: one report's bytes in, one HTML
// document's bytes out. Standard C++ only; Windows-1252 bytes are passed
// through untouched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "section_headings.h"

namespace quillet {

// Report kind codes (intReportKind).
inline constexpr std::int16_t kKindNone = 0;
inline constexpr std::int16_t kKindFennick = 1;
inline constexpr std::int16_t kKindAnalysis = 2;
inline constexpr std::int16_t kKindDyslexia = 3;

// Receives the document in order, in chunks. A sink that cannot store the
// bytes throws (any std::exception); the engine lets it through.
class HtmlSink {
public:
    virtual ~HtmlSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

class StringSink final : public HtmlSink {
public:
    std::string text;
    void write(std::string_view bytes) override { text.append(bytes); }
};

// What the single-report conversion hands to the document writers.
struct DocumentFacts {
    std::int16_t intReportKind = kKindNone;
    // The student number as held (Orvella: from the source, lower-cased;
    // Fennick: the lower-cased source base name), Windows-1252 bytes.
    std::string strStudentNumber;
    // Rep_DestinationFilename: "Analysis", "Dyslexia" or a source base name.
    std::string report_name;
    // Rep_SourceFileExtension, lower-cased, equals "fnr".
    bool fennick = false;
};

struct DocumentOutcome {
    // fn_WriteReportBody's result: false when the body ended early.
    bool body_complete = true;
    // The last per-line failure ("Line N: ..."), empty when every line converted.
    std::string line_failure;
};

// Writes head, body and footer of one document for the given source bytes.
DocumentOutcome write_report_document(std::string_view source, const DocumentFacts& facts,
                                      const SectionHeadingTable& headings, HtmlSink& sink);

// The validity check: the source is not empty and its first field begins with "@".
bool fn_IsReport(std::string_view source);

// The student number search: the 8 characters (fewer when the field ends
// sooner) after "for student " in the first field that holds it, compared and
// returned lower-cased. nullopt when no field holds it.
std::optional<std::string> find_student_number(std::string_view source);

}  // namespace quillet
