// One source report to one document on disk, written atomically.
#include "report_conversion.h"

#include <exception>
#include <optional>
#include <stdexcept>

#include <sys/stat.h>

#include "atomic_file.h"
#include "document_writer.h"
#include "report_engine.h"

namespace quillet {

namespace {

const QString kCreated = QStringLiteral("Created new HTML report");
const QString kOverwrote = QStringLiteral("Overwrote existing HTML Report");
const QString kAlreadyExists = QStringLiteral("HTML Report already exists");
const QString kInvalid = QStringLiteral("Invalid Orvella report.");
const QString kCannotCreate =
    QStringLiteral("Cannot create the HTML report. Perhaps it already exists and is read only.");

bool is_read_only(unsigned mode) {
    // The mode bits only: the current user's own access says "writable" to an
    // administrator whatever the bits are.
    return S_ISREG(mode) && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

bool ReportConverter::fn_ConvertReport(const QString& source_path, const QString& destination_path,
                                       int index) {
    return fn_ConvertReport(source_path, destination_path, sys_.entry(index));
}

bool ReportConverter::fn_ConvertReport(const QString& source_path, const QString& destination_path,
                                       ReportEntry& entry) {

    QString failure;
    if (!read_source(source_path, &failure)) {
        entry.Rep_Comment = QStringLiteral("Cannot read the report: ") + failure;
        return false;
    }
    if (!fn_IsReport(cached_source_.view())) {
        entry.Rep_Comment = kInvalid;
        return false;
    }

    const std::optional<unsigned> destination_mode = existing_mode(destination_path);
    if (!destination_mode) {  // a file or a folder of that name
        entry.Rep_Comment = kCreated;
    } else {
        switch (settings().Gen_ConvertOption) {
            case 1:
                if (!question_.ask(kConvertOptionTitle, kConvertOptionQuestion)) {
                    entry.Rep_Comment = kAlreadyExists;
                    return false;
                }
                entry.Rep_Comment = kOverwrote;
                break;
            case 2:
                entry.Rep_Comment = kAlreadyExists;
                return false;
            default:
                // 0, and any value the options dialog does not offer, overwrite.
                entry.Rep_Comment = kOverwrote;
                break;
        }
        if (is_read_only(*destination_mode)) {
            entry.Rep_Comment = kCannotCreate;
            return false;
        }
    }

    AtomicFile file(destination_path);
    if (!file.open(destination_mode)) {
        entry.Rep_Comment = kCannotCreate;
        return false;
    }

    DocumentFacts facts;
    facts.intReportKind = intReportKind;
    facts.strStudentNumber = strStudentNumber;
    facts.report_name = to_cp1252(entry.Rep_DestinationFilename);
    facts.fennick = entry.is_fennick_source();

    DocumentOutcome outcome;
    try {
        DocumentWriter sink(file);
        outcome = write_report_document(cached_source_.view(), facts, headings_, sink);
        if (!sink.finish()) {
            throw WriteFailure(sink.error().toStdString());
        }
    } catch (const std::exception& error) {
        file.discard();
        entry.Rep_Comment =
            QStringLiteral("Cannot write the HTML report: ") + QString::fromLocal8Bit(error.what());
        return false;
    }
    if (!outcome.body_complete) {
        file.discard();
        entry.Rep_Comment = QStringLiteral(
            "Cannot write the HTML report: the report could not be "
            "converted to its end.");
        return false;
    }
    if (!file.commit()) {
        entry.Rep_Comment = QStringLiteral("Cannot write the HTML report: ") + file.error();
        return false;
    }
    if (!outcome.line_failure.empty()) {
        entry.Rep_Comment = QString::fromStdString(outcome.line_failure);
    }

    entry.destination_timestamp = file.modified();
    entry.Rep_DestinationFileDate = dates_.text(entry.destination_timestamp.toMSecsSinceEpoch());
    entry.destination_listed_name =
        destination_path.mid(destination_path.lastIndexOf(QLatin1Char('/')) + 1);
    return true;
}

}  // namespace quillet
