#include "column_sort.h"

#include <algorithm>
#include <vector>

#include "sys_vars.h"

namespace quillet {

int sort_key_of(ReportColumn::Field field) {
    using Field = ReportColumn::Field;
    switch (field) {
        case Field::student:
            return 0;
        case Field::report:
            return 1;
        case Field::date:
            return 2;
        case Field::comment:
            return 3;
        default:
            return -1;
    }
}

void sort_by_column_field(cSys_vars& sys, ReportColumn::Field field, bool ascending) {
    const int count = sys.Rep_FileCount();
    std::vector<ReportEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) {
        entries.push_back(std::move(sys.entry(n)));
    }
    auto order = [ascending](auto key) {
        return [ascending, key](const ReportEntry& a, const ReportEntry& b) {
            return ascending ? key(a, b) : key(b, a);
        };
    };
    switch (field) {
        case ReportColumn::Field::source:
            std::ranges::stable_sort(entries, order([](const ReportEntry& a, const ReportEntry& b) {
                                         return a.Rep_SourceFilename.compare(
                                                    b.Rep_SourceFilename, Qt::CaseInsensitive) < 0;
                                     }));
            break;
        case ReportColumn::Field::converted:
            std::ranges::stable_sort(entries, order([](const ReportEntry& a, const ReportEntry& b) {
                                         return !a.Rep_Converted && b.Rep_Converted;
                                     }));
            break;
        case ReportColumn::Field::number:
            if (!ascending) {
                std::ranges::reverse(entries);
            }
            break;
        default:
            break;
    }
    for (int n = 1; n <= count; ++n) {
        sys.entry(n) = std::move(entries[static_cast<std::size_t>(n - 1)]);
    }
}

}  // namespace quillet
