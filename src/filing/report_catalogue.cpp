// The catalogue of converted documents (the HTML reports folder and its
// immediate sub-folders) and the sorting of the report list.
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "report_catalogue.h"

#include "document_dates.h"
#include "document_listing.h"
#include "folder_text.h"

namespace quillet {
namespace {

struct CatalogueKind {
    std::int16_t code;
    QString comment;
};

bool is_fennick_folder(const QString& sub_folder) {
    return sub_folder.toLower() == QLatin1String("fennick");
}

CatalogueKind catalogue_kind(bool fennick_folder, const QString& lower_name) {
    if (fennick_folder) {
        return {1, QStringLiteral("Fennick Report")};
    }
    if (lower_name.contains(QLatin1String("analysis"))) {
        return {2, QStringLiteral("Orvella Analysis Report")};
    }
    if (lower_name.contains(QLatin1String("dyslexia"))) {
        return {3, QStringLiteral("Orvella Dyslexia Report")};
    }
    return {0, QStringLiteral("A HTML Document")};
}

// The sort key of an entry by date. An entry without a known timestamp
// falls back on its date text (as format_document_date wrote it); without
// either it is invalid, which sorts as the earliest.
QDateTime date_key(const ReportEntry& e, const QLocale& locale, const QString& format) {
    if (e.destination_timestamp.isValid() || e.Rep_DestinationFileDate.isEmpty()) {
        return e.destination_timestamp;
    }
    QDateTime parsed = locale.toDateTime(e.Rep_DestinationFileDate, format);
    // A two-digit year reads as 19xx; the documents are younger than 1970.
    if (parsed.isValid() && parsed.date().year() < 1970 &&
        !format.contains(QLatin1String("yyyy"))) {
        parsed = parsed.addYears(100);
    }
    return parsed;
}

bool earlier(const QDateTime& a, const QDateTime& b) {
    return b.isValid() && (!a.isValid() || a < b);
}

// text with every UTF-16 unit case-folded the way the case-insensitive
// QString comparison folds it (a low surrogate as part of its pair), so that
// an exact comparison of two folded texts orders them as that comparison does.
QString case_folded(const QString& text) {
    QString folded = text;  // shares text until a unit changes
    char32_t last = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = text[i].unicode();
        char32_t code = ch;
        if (ch < 0x80) {  // the usual case: ASCII folds to itself but for A-Z
            last = ch;
            if (ch >= u'A' && ch <= u'Z') {
                folded[i] = QChar(static_cast<char16_t>(ch - u'A' + u'a'));
            }
            continue;
        }
        if (QChar::isLowSurrogate(ch) && QChar::isHighSurrogate(last)) {
            code = QChar::surrogateToUcs4(static_cast<char16_t>(last), ch);
        }
        last = ch;
        code = QChar::toCaseFolded(code);
        const char16_t unit = QChar::requiresSurrogates(code) ? QChar::lowSurrogate(code)
                                                              : static_cast<char16_t>(code);
        if (unit != ch) {
            folded[i] = QChar(unit);
        }
    }
    return folded;
}

// The positions of keys in the order of their keys, ascending or descending,
// equal keys in their previous order. A list holds few distinct keys (a
// student's documents share the student, every student has the same
// letters), so the distinct keys are sorted and each position follows its key.
std::vector<int> order_by_text(const std::vector<QString>& keys, bool ascending) {
    QHash<QString, int> index_of;
    std::vector<const QString*> distinct;
    std::vector<int> group(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        auto found = index_of.find(keys[i]);
        if (found == index_of.end()) {
            found = index_of.insert(keys[i], static_cast<int>(distinct.size()));
            distinct.push_back(&keys[i]);
        }
        group[i] = found.value();
    }
    std::vector<int> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(),
              [&](int a, int b) { return *distinct[static_cast<std::size_t>(a)] <
                                         *distinct[static_cast<std::size_t>(b)]; });
    // Where each key's positions begin in the order.
    std::vector<int> rank(distinct.size());
    for (std::size_t r = 0; r < sorted.size(); ++r) {
        rank[static_cast<std::size_t>(sorted[r])] =
            static_cast<int>(ascending ? r : sorted.size() - 1 - r);
    }
    std::vector<int> begin(distinct.size() + 1, 0);
    for (const int g : group) {
        ++begin[static_cast<std::size_t>(rank[static_cast<std::size_t>(g)]) + 1];
    }
    std::partial_sum(begin.begin(), begin.end(), begin.begin());
    std::vector<int> order(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto r = static_cast<std::size_t>(rank[static_cast<std::size_t>(group[i])]);
        order[static_cast<std::size_t>(begin[r]++)] = static_cast<int>(i);
    }
    return order;
}

// The key text of an entry for the text keys (0 student, 1 name, 3 comment).
const QString& text_key(const ReportEntry& e, std::int16_t key) {
    switch (key) {
        case 0:
            return e.Rep_ReportType == 2 || e.Rep_ReportType == 3 ? e.Rep_DestinationPath
                                                                  : e.Rep_DestinationFilename;
        case 1:
            return e.Rep_DestinationFilename;
        default:
            return e.Rep_Comment;
    }
}

// A name as a folder listing gives it; most are plain ASCII, which every
// local encoding reads the same.
QString file_name(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        }
    }
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// name in lower case; an ASCII name without the Unicode tables.
QString lower_case(const QString& name) {
    bool upper = false;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            return name.toLower();
        }
        upper = upper || (c >= u'A' && c <= u'Z');
    }
    if (!upper) {
        return name;
    }
    QString lower(name.size(), Qt::Uninitialized);
    std::transform(name.cbegin(), name.cend(), lower.begin(), [](QChar c) {
        return c >= u'A' && c <= u'Z' ? QChar(static_cast<char16_t>(c.unicode() + 0x20)) : c;
    });
    return lower;
}

// name without every suffix in it: for most, the one at its end.
QString without_suffix(QString name, const QString& suffix) {
    if (!suffix.isEmpty() && name.endsWith(suffix) &&
        name.indexOf(suffix.front()) == name.size() - suffix.size()) {
        name.chop(suffix.size());
        return name;
    }
    return std::move(name).remove(suffix);
}

// One document found in a folder.
struct ListedFile {
    QString name;
    QString lower_name;
    qint64 modified_msecs = 0;
};

// The documents of folder, sorted by name, letter case ignored. With
// sub_folders set, also the names of its sub-folders.
std::vector<ListedFile> list_documents(const QString& folder,
                                       std::vector<std::string>* sub_folders = nullptr) {
    std::vector<ListedFile> files;
    list_html_documents(
        QFile::encodeName(folder).toStdString(),
        [&](std::string_view name, const struct stat& info) {
            ListedFile file;
            file.name = file_name(name);
            file.lower_name = lower_case(file.name);
            file.modified_msecs =
                static_cast<qint64>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
            files.push_back(std::move(file));
        },
        sub_folders);
    // Folding each name once makes every comparison an exact one.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        keys.emplace_back(case_folded(files[i].lower_name), i);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ListedFile> sorted;
    sorted.reserve(files.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(files[key.second]));
    }
    return sorted;
}

// The documents of one folder of the catalogue: the HTML reports folder
// itself (sub_folder empty) or one of its sub-folders.
struct ListedFolder {
    QString sub_folder;
    std::vector<ListedFile> files;
};

// Appends one entry per document of one folder.
void pr_List_HTML_Files(cSys_vars& sys, ListedFolder& listed, DateTexts& dates) {
    const QString suffix = QLatin1Char('.') + sys.Extension(0);
    const QString& strSubFolder = listed.sub_folder;
    const bool fennick_folder = is_fennick_folder(strSubFolder);
    for (ListedFile& file : listed.files) {
        ReportEntry& e = sys.append_entry();
        e.Rep_DestinationFilename = without_suffix(std::move(file.lower_name), suffix);
        e.Rep_DestinationPath = strSubFolder;
        e.destination_listed_name = std::move(file.name);
        // In universal time: it only orders the entries, and a local time
        // would look the time zone up for every document.
        e.destination_timestamp = QDateTime::fromMSecsSinceEpoch(file.modified_msecs, Qt::UTC);
        e.Rep_DestinationFileDate = dates.text(file.modified_msecs);
        e.Rep_Converted = true;
        CatalogueKind kind = catalogue_kind(fennick_folder, e.Rep_DestinationFilename);
        e.Rep_ReportType = kind.code;
        e.Rep_Comment = std::move(kind.comment);
    }
}

}  // namespace

void pr_Get_List_Of_Converted_Files(cSys_vars& sys, const SortChoice& sort) {
    sys.set_Rep_FileCount(0);
    if (!sys.Path_HTMLReports().isEmpty()) {
        const QString top = with_separator(sys.Path_HTMLReports());
        std::vector<std::string> sub_folders;
        std::vector<ListedFolder> listed;
        listed.push_back({QString(), list_documents(top, &sub_folders)});
        // Only the immediate sub-folders, in the order of their names.
        std::vector<std::pair<QString, QString>> folders;  // folded name, name
        folders.reserve(sub_folders.size());
        for (const std::string& name : sub_folders) {
            QString folder = file_name(name);
            folders.emplace_back(case_folded(folder), std::move(folder));
        }
        std::stable_sort(folders.begin(), folders.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        listed.reserve(folders.size() + 1);
        std::size_t total = listed.front().files.size();
        for (const auto& [key, folder] : folders) {
            listed.push_back({folder, list_documents(top + folder)});
            total += listed.back().files.size();
        }
        // Room for every entry at once, rather than growing entry by entry.
        sys.reserve_entries(static_cast<int>(total));
        DateTexts dates;
        for (ListedFolder& folder : listed) {
            pr_List_HTML_Files(sys, folder, dates);
        }
    }
    pr_Sort_Report_List(sys, sort);
}

void pr_Sort_Report_List(cSys_vars& sys, const SortChoice& sort) {
    const std::int16_t key = sort.gintSortKey;
    const int count = sys.Rep_FileCount();
    if (count < 2 || key < 0 || key > 3) {
        return;
    }
    const bool ascending = sort.gblnSortAscending;
    // Sort positions, then move the entries once. Both directions keep
    // equal keys in their previous order.
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    if (key == 2) {
        const QLocale locale = QLocale::system();
        const QString format =
            locale.dateFormat(QLocale::ShortFormat) + QStringLiteral(" HH:mm:ss");
        std::vector<QDateTime> keys;
        keys.reserve(order.size());
        for (int i = 0; i < count; ++i) {
            keys.push_back(date_key(sys.entry(i + 1), locale, format));
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const QDateTime& ka = keys[static_cast<std::size_t>(a)];
            const QDateTime& kb = keys[static_cast<std::size_t>(b)];
            return ascending ? earlier(ka, kb) : earlier(kb, ka);
        });
    } else {
        // Folding each key once makes every comparison an exact one.
        std::vector<QString> keys;
        keys.reserve(order.size());
        for (int i = 0; i < count; ++i) {
            keys.push_back(case_folded(text_key(sys.entry(i + 1), key)));
        }
        order = order_by_text(keys, ascending);
    }

    // Position i takes the entry at order[i]: each cycle of that permutation
    // is moved round through one spare entry.
    for (int start = 0; start < count; ++start) {
        if (order[static_cast<std::size_t>(start)] == start) {
            continue;
        }
        ReportEntry spare = std::move(sys.entry(start + 1));
        int to = start;
        for (int from = order[static_cast<std::size_t>(to)]; from != start;
             from = order[static_cast<std::size_t>(to)]) {
            sys.entry(to + 1) = std::move(sys.entry(from + 1));
            order[static_cast<std::size_t>(to)] = to;
            to = from;
        }
        sys.entry(to + 1) = std::move(spare);
        order[static_cast<std::size_t>(to)] = to;
    }
}

}  // namespace quillet
