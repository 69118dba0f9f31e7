// The date texts of documents: documents written together share their
// minute, so each minute's date and time is formatted once and the seconds
// are put behind it. Only a new minute takes the local time, which asks the
// C library for the time zone each time.
#pragma once

#include <QString>
#include <QtGlobal>
#include <unordered_map>

namespace quillet {

class DateTexts {
public:
    // The text of the time msecs milliseconds after the epoch, as
    // format_document_date writes it.
    QString text(qint64 msecs);

private:
    QString new_text(qint64 msecs, qint64 secs);

    std::unordered_map<qint64, QString> minutes_;
    qint64 last_secs_ = 0;
    QString last_text_;
};

}  // namespace quillet
