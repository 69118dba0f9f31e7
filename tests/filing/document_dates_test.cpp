// Date texts come from a cache of minutes; each must read as the time's own.
#include <gtest/gtest.h>

#include <QDateTime>

#include "document_dates.h"
#include "sys_vars.h"

namespace quillet {
namespace {

TEST(DateTexts, EveryTimeReadsAsItsOwnTextInWhateverOrderTheyCome) {
    const qint64 noon = QDateTime(QDate(2024, 3, 5), QTime(12, 0)).toMSecsSinceEpoch();
    // The same second again, the seconds of one minute, the minute's edges,
    // the minutes before and after, and times before 1970.
    const qint64 times[] = {noon + 7'250, noon + 7'999, noon + 59'000, noon,
                            noon + 9'500, noon - 1,     noon + 60'000, noon + 7'000,
                            -1,           0,            -59'001,       -60'000,
                            -61'500,      noon + 119'999};
    DateTexts dates;
    for (const qint64 msecs : times) {
        EXPECT_EQ(dates.text(msecs), format_document_date(QDateTime::fromMSecsSinceEpoch(msecs)))
            << msecs;
    }
}

}  // namespace
}  // namespace quillet
