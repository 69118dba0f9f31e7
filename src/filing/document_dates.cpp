#include "document_dates.h"

#include <QDateTime>

#include "sys_vars.h"

namespace quillet {

namespace {
// Minutes remembered at most; a batch that runs longer starts again.
constexpr std::size_t kMaxMinutes = 4096;
}  // namespace

QString DateTexts::text(qint64 msecs) {
    const qint64 secs = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
    // Documents of the same second share one text.
    if (!last_text_.isNull() && secs == last_secs_) {
        return last_text_;
    }
    last_text_ = new_text(msecs, secs);
    last_secs_ = secs;
    return last_text_;
}

QString DateTexts::new_text(qint64 msecs, qint64 secs) {
    const qint64 minute = secs >= 0 ? secs / 60 : (secs - 59) / 60;
    const int second = static_cast<int>(secs - minute * 60);
    if (const auto found = minutes_.find(minute); found != minutes_.end()) {
        QString text = found->second;
        text += QLatin1Char(static_cast<char>('0' + second / 10));
        text += QLatin1Char(static_cast<char>('0' + second % 10));
        return text;
    }
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(msecs);
    QString text = format_document_date(when);
    // Only where the local seconds are those of the universal time (the
    // local offset is whole minutes) and the text ends with them.
    if (when.time().second() == second && text.size() >= 2 &&
        text.endsWith(when.time().toString(QStringLiteral("ss")))) {
        if (minutes_.size() >= kMaxMinutes) {
            minutes_.clear();
        }
        minutes_.emplace(minute, text.left(text.size() - 2));
    }
    return text;
}

}  // namespace quillet
