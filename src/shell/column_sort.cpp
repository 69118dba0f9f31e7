#include "column_sort.h"

#include <utility>

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

void reverse_report_list(cSys_vars& sys) {
    for (int first = 1, last = sys.Rep_FileCount(); first < last; ++first, --last) {
        std::swap(sys.entry(first), sys.entry(last));
    }
}

}  // namespace quillet
