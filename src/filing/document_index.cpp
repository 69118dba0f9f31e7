// The text index of the converted documents: SQLite FTS5 in a cache file.
//
// documents holds one row per document (where it lies, its size and
// modification time when read, and what the grid shows of it); document_text
// holds its plain text under the same rowid. The text is stored once, in the
// FTS5 table, which needs it for snippets.
#include "document_index.h"

#include <sqlite3.h>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <string>
#include <utility>

#include "document_text.h"
#include "sys_vars.h"

namespace quillet {

namespace {

// Marks the file as ours ("Qlt1"), and the layout of its tables.
constexpr int kApplicationId = 0x516c7431;
constexpr int kSchemaVersion = 1;
// Documents written per transaction: other writers get their turn between them.
constexpr int kDocumentsPerTransaction = 256;
constexpr int kBusyTimeoutMs = 10000;
// A query longer than this is refused.
constexpr qsizetype kLongestQuery = 1000;
// Documents larger than this are indexed by their first bytes only.
constexpr qint64 kLargestDocument = 32 * 1000 * 1000;

constexpr const char* kSchema = R"sql(
CREATE TABLE documents(
    id INTEGER PRIMARY KEY,
    folder TEXT NOT NULL,
    name TEXT NOT NULL,
    size INTEGER NOT NULL,
    mtime INTEGER NOT NULL,
    student TEXT NOT NULL,
    report TEXT NOT NULL,
    UNIQUE(folder, name));
CREATE VIRTUAL TABLE document_text USING fts5(
    text, tokenize = 'unicode61 remove_diacritics 2');
)sql";

const QString kDocumentSuffix = QStringLiteral(".htm");

// A document's place below the HTML reports folder.
struct Place {
    QString folder;  // the sub-folder as listed; empty for the folder itself
    QString name;    // the file name as listed
    bool operator==(const Place&) const = default;
};

size_t qHash(const Place& place, size_t seed = 0) {
    return qHashMulti(seed, place.folder, place.name);
}

struct FileState {
    qint64 size = -1;
    qint64 mtime = 0;  // nanoseconds since the epoch
    bool operator==(const FileState&) const = default;
};

FileState state_of(const struct stat& info) {
    return {static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool is_document_name(const QString& name) {
    return !name.startsWith(QLatin1Char('.')) && name.toLower().endsWith(kDocumentSuffix);
}

// The grid's student and report name of a document, as the catalogue has them.
std::pair<QString, QString> student_and_report(const Place& place) {
    const QString report = place.name.toLower().remove(kDocumentSuffix);
    const bool fennick = place.folder.toLower() == QLatin1String("fennick");
    return {fennick ? report : place.folder, report};
}

// Every document of the catalogue, with its size and time: the files *.htm of
// folder and of its immediate sub-folders, hidden ones left out.
QHash<Place, FileState> list_documents(const QString& folder) {
    QHash<Place, FileState> found;
    auto list = [&](const QByteArray& path, const QString& sub_folder, bool with_folders,
                    QStringList* folders) {
        DIR* dir = ::opendir(path.constData());
        if (dir == nullptr) {
            return;
        }
        const int fd = ::dirfd(dir);
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            const QString name = QFile::decodeName(entry->d_name);
            const bool document = is_document_name(name);
            if (!document && !with_folders) {
                continue;
            }
            struct stat info {};
            if (::fstatat(fd, entry->d_name, &info, 0) != 0) {
                continue;
            }
            if (document && S_ISREG(info.st_mode)) {
                found.insert(Place{sub_folder, name}, state_of(info));
            } else if (with_folders && S_ISDIR(info.st_mode)) {
                folders->append(name);
            }
        }
        ::closedir(dir);
    };
    QStringList folders;
    const QByteArray top = QFile::encodeName(folder);
    list(top, QString(), true, &folders);
    for (const QString& sub : folders) {
        list(top + '/' + QFile::encodeName(sub), sub, false, nullptr);
    }
    return found;
}

// The text bytes of a document and the state they were read in.
struct ReadDocument {
    std::string bytes;
    FileState state;
};

std::optional<ReadDocument> read_document(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<ReadDocument> result;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ReadDocument doc;
        doc.state = state_of(info);
        const auto wanted =
            static_cast<std::size_t>(std::min<qint64>(doc.state.size, kLargestDocument));
        doc.bytes.resize(wanted);
        std::size_t got = 0;
        while (got < wanted) {
            const ssize_t n = ::read(fd, doc.bytes.data() + got, wanted - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        doc.bytes.resize(got);
        result = std::move(doc);
    }
    ::close(fd);
    return result;
}

// A prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text64(stmt_, i, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                            SQLITE_TRANSIENT, SQLITE_UTF8);
        return *this;
    }
    // text must stay until the statement is reset.
    Statement& bind(int i, std::string_view text) {
        sqlite3_bind_text64(stmt_, i, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
        return *this;
    }
    Statement& bind(int i, qint64 value) {
        sqlite3_bind_int64(stmt_, i, value);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or the failure.
    int step() { return stmt_ != nullptr ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    // Steps once and makes the statement ready for the next use.
    int run() {
        const int rc = step();
        reset();
        return rc;
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    qint64 integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }
    QString text(int column) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                                 sqlite3_column_bytes(stmt_, column));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool is_damage(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT;
}

void remove_index_files(const QString& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(file + QLatin1String(suffix));
    }
}

// One line that says what is wrong with a query, in plain words.
QString query_problem(const QString& sqlite_message) {
    if (sqlite_message.contains(QLatin1String("unterminated string"))) {
        return QStringLiteral("a quotation mark is not closed");
    }
    if (sqlite_message.contains(QLatin1String("no such column"))) {
        const QString name = sqlite_message.section(QLatin1Char(':'), 1).trimmed();
        return QStringLiteral("\"%1\" is read as a column name; put a word with \"-\" or "
                              "\":\" in double quotes")
            .arg(name);
    }
    if (sqlite_message.contains(QLatin1String("syntax error near"))) {
        const qsizetype open = sqlite_message.indexOf(QLatin1Char('"'));
        const qsizetype close = sqlite_message.lastIndexOf(QLatin1Char('"'));
        if (open >= 0 && close > open + 1) {
            return QStringLiteral("something is out of place at %1")
                .arg(sqlite_message.mid(open, close - open + 1));
        }
        return QStringLiteral("the query ends too early");
    }
    return QStringLiteral("the words, quotes, brackets and operators do not fit together");
}

// The query as a message may quote it: one line, not too long.
QString quoted_query(const QString& query) {
    constexpr qsizetype kShown = 60;
    QString shown = query.left(kShown);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = QLatin1Char('?');
        }
    }
    if (query.size() > kShown) {
        shown += QChar(0x2026);
    }
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

}  // namespace

struct DocumentIndex::Impl {
    QString folder;  // the HTML reports folder, without a separator at the end
    QString file;
    sqlite3* db = nullptr;
    QString error;
    bool fresh = false;  // created or rebuilt by this object

    ~Impl() { close(); }

    void close() {
        sqlite3_close_v2(db);
        db = nullptr;
    }

    QString last_error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

    bool open();
    bool open_file();
    bool rebuild();
    QString path_of(const Place& place) const {
        return place.folder.isEmpty()
                   ? folder + QLatin1Char('/') + place.name
                   : folder + QLatin1Char('/') + place.folder + QLatin1Char('/') + place.name;
    }
    std::optional<Place> place_of(const QString& path) const;
    // Writes the document at place as it is now (or drops it when it is gone).
    int store(const Place& place, Statement& find, Statement& remove_text, Statement& remove_row,
              Statement& insert_row, Statement& insert_text);
    int write(const QList<Place>& places, const QList<Place>& gone,
              const std::function<bool(qint64, qint64)>& progress, qint64 done, qint64 total,
              bool& cancelled);
};

// Creates the file 0600 before SQLite sees it; the -wal and -shm files take
// its permissions.
bool DocumentIndex::Impl::open_file() {
    // Students' assessments: the folder and the files are the user's alone.
    const QString parent = QFileInfo(file).absolutePath();
    if (!QFileInfo(parent).isDir() && QDir().mkpath(parent)) {
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray name = QFile::encodeName(file);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QStringLiteral("cannot create the index %1: %2")
                    .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = last_error();
        close();
        return false;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    return true;
}

bool DocumentIndex::Impl::open() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open_file()) {
            return false;
        }
        // WAL lets readers go on while one process writes.
        if (exec("PRAGMA journal_mode=WAL") == SQLITE_OK &&
            exec("PRAGMA synchronous=NORMAL") == SQLITE_OK &&
            exec("BEGIN IMMEDIATE") == SQLITE_OK) {
            Statement id(db, "PRAGMA application_id");
            Statement version(db, "PRAGMA user_version");
            Statement tables(db, "SELECT count(*) FROM sqlite_master");
            const bool read = id.step() == SQLITE_ROW && version.step() == SQLITE_ROW &&
                              tables.step() == SQLITE_ROW;
            bool usable =
                read && id.integer(0) == kApplicationId && version.integer(0) == kSchemaVersion;
            if (read && !usable && tables.integer(0) == 0) {
                // A new file: make the tables.
                const std::string mark = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                         "; PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                                         ";";
                usable = exec(kSchema) == SQLITE_OK && exec(mark.c_str()) == SQLITE_OK;
                fresh = true;
            }
            id.reset();
            version.reset();
            tables.reset();
            if (usable && exec("COMMIT") == SQLITE_OK) {
                return true;
            }
            exec("ROLLBACK");
        }
        // Not ours, another version, or damaged: the cache is made anew.
        close();
        remove_index_files(file);
        fresh = true;
    }
    error = QStringLiteral("cannot create the index %1").arg(file);
    return false;
}

bool DocumentIndex::Impl::rebuild() {
    close();
    remove_index_files(file);
    fresh = true;
    error.clear();
    return open();
}

std::optional<Place> DocumentIndex::Impl::place_of(const QString& path) const {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!is_document_name(name)) {
        return std::nullopt;
    }
    const QString parent = QDir::cleanPath(info.absolutePath());
    if (parent == folder) {
        return Place{QString(), name};
    }
    const QFileInfo parent_info(parent);
    if (QDir::cleanPath(parent_info.absolutePath()) == folder &&
        !parent_info.fileName().startsWith(QLatin1Char('.'))) {
        return Place{parent_info.fileName(), name};
    }
    return std::nullopt;
}

int DocumentIndex::Impl::store(const Place& place, Statement& find, Statement& remove_text,
                               Statement& remove_row, Statement& insert_row,
                               Statement& insert_text) {
    std::optional<ReadDocument> doc = read_document(path_of(place));
    find.bind(1, place.folder).bind(2, place.name);
    std::optional<qint64> id;
    FileState known;
    int rc = find.step();
    if (rc == SQLITE_ROW) {
        id = find.integer(0);
        known = {find.integer(1), find.integer(2)};
        rc = SQLITE_DONE;
    }
    find.reset();
    if (rc != SQLITE_DONE) {
        return rc;
    }
    if (doc && id && doc->state == known) {
        return SQLITE_OK;  // another process was quicker
    }
    if (id) {
        if ((rc = remove_text.bind(1, *id).run()) != SQLITE_DONE ||
            (rc = remove_row.bind(1, *id).run()) != SQLITE_DONE) {
            return rc;
        }
    }
    if (!doc) {
        return SQLITE_OK;
    }
    const auto [student, report] = student_and_report(place);
    rc = insert_row.bind(1, place.folder)
             .bind(2, place.name)
             .bind(3, doc->state.size)
             .bind(4, doc->state.mtime)
             .bind(5, student)
             .bind(6, report)
             .run();
    if (rc != SQLITE_DONE) {
        return rc;
    }
    const std::string text = document_text(doc->bytes);
    rc = insert_text.bind(1, sqlite3_last_insert_rowid(db)).bind(2, std::string_view(text)).run();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int DocumentIndex::Impl::write(const QList<Place>& places, const QList<Place>& gone,
                               const std::function<bool(qint64, qint64)>& progress, qint64 done,
                               qint64 total, bool& cancelled) {
    Statement find(db, "SELECT id, size, mtime FROM documents WHERE folder = ?1 AND name = ?2");
    Statement remove_text(db, "DELETE FROM document_text WHERE rowid = ?1");
    Statement remove_row(db, "DELETE FROM documents WHERE id = ?1");
    Statement insert_row(db,
                         "INSERT INTO documents(folder, name, size, mtime, student, report) "
                         "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    Statement insert_text(db, "INSERT INTO document_text(rowid, text) VALUES(?1, ?2)");
    for (const Statement* s : {&find, &remove_text, &remove_row, &insert_row, &insert_text}) {
        if (!s->ok()) {
            return sqlite3_errcode(db);
        }
    }
    // The removed documents first, then the changed ones, a few hundred a transaction.
    QList<Place> all = gone;
    all += places;
    qsizetype next = 0;
    while (next < all.size()) {
        int rc = exec("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) {
            return rc;
        }
        const qsizetype end = std::min(all.size(), next + kDocumentsPerTransaction);
        for (; next < end; ++next) {
            rc = store(all[next], find, remove_text, remove_row, insert_row, insert_text);
            if (rc != SQLITE_OK) {
                exec("ROLLBACK");
                return rc;
            }
        }
        if ((rc = exec("COMMIT")) != SQLITE_OK) {
            exec("ROLLBACK");
            return rc;
        }
        if (progress && !progress(done + next, total)) {
            cancelled = next < all.size();
            return SQLITE_OK;
        }
    }
    return SQLITE_OK;
}

QString DocumentIndex::location_for(const QString& html_folder) {
    QString folder = QFileInfo(html_folder).canonicalFilePath();
    if (folder.isEmpty()) {
        folder = QDir::cleanPath(QFileInfo(html_folder).absoluteFilePath());
    }
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Quillet/") + QString::fromLatin1(hash.left(16)) +
           QStringLiteral(".sqlite");
}

DocumentIndex::DocumentIndex(const QString& html_folder)
    : DocumentIndex(html_folder, location_for(html_folder)) {}

DocumentIndex::DocumentIndex(const QString& html_folder, const QString& index_file)
    : impl_(std::make_unique<Impl>()) {
    QString folder = QFileInfo(html_folder).canonicalFilePath();
    impl_->folder =
        folder.isEmpty() ? QDir::cleanPath(QFileInfo(html_folder).absoluteFilePath()) : folder;
    impl_->file = index_file;
    impl_->open();
}

DocumentIndex::~DocumentIndex() = default;

bool DocumentIndex::ok() const {
    return impl_->db != nullptr;
}

QString DocumentIndex::error() const {
    return impl_->error;
}

bool DocumentIndex::needs_full_build() const {
    if (impl_->db == nullptr || impl_->fresh) {
        return true;
    }
    Statement any(impl_->db, "SELECT 1 FROM documents LIMIT 1");
    return any.step() != SQLITE_ROW;
}

bool DocumentIndex::refresh(const std::function<bool(qint64, qint64)>& progress) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (impl_->db == nullptr) {
            return false;
        }
        QHash<Place, FileState> on_disk = list_documents(impl_->folder);
        QList<Place> gone;
        int rc = SQLITE_OK;
        {
            Statement known(impl_->db, "SELECT folder, name, size, mtime FROM documents");
            while ((rc = known.step()) == SQLITE_ROW) {
                Place place{known.text(0), known.text(1)};
                const auto found = on_disk.constFind(place);
                if (found == on_disk.cend()) {
                    gone.append(std::move(place));
                } else if (*found == FileState{known.integer(2), known.integer(3)}) {
                    on_disk.erase(found);
                }
            }
        }
        if (rc == SQLITE_DONE) {
            const QList<Place> changed = on_disk.keys();
            const qint64 total = changed.size() + gone.size();
            bool cancelled = false;
            if (progress && total > 0 && !progress(0, total)) {
                return false;
            }
            rc = impl_->write(changed, gone, progress, 0, total, cancelled);
            if (rc == SQLITE_OK) {
                impl_->fresh = impl_->fresh && cancelled;
                return !cancelled;
            }
        }
        impl_->error = impl_->last_error();
        if (!is_damage(rc) || !impl_->rebuild()) {
            return false;
        }
    }
    return false;
}

void DocumentIndex::update_document(const QString& path) {
    update_documents({path});
}

void DocumentIndex::update_documents(const QStringList& paths) {
    if (impl_->db == nullptr) {
        return;
    }
    QList<Place> places;
    for (const QString& path : paths) {
        if (const std::optional<Place> place = impl_->place_of(path)) {
            places.append(*place);
        }
    }
    bool cancelled = false;
    const int rc = impl_->write(places, {}, {}, 0, places.size(), cancelled);
    if (rc != SQLITE_OK) {
        impl_->error = impl_->last_error();
        if (is_damage(rc)) {
            impl_->rebuild();
        }
    }
}

SearchResult DocumentIndex::search(const QString& query, int limit) const {
    SearchResult result;
    if (query.trimmed().isEmpty()) {
        result.error = QStringLiteral("cannot understand the query %1: it has no words")
                           .arg(quoted_query(query));
        return result;
    }
    if (query.size() > kLongestQuery) {
        result.error = QStringLiteral(
                           "cannot understand the query %1: it is longer than %2 "
                           "characters")
                           .arg(quoted_query(query))
                           .arg(kLongestQuery);
        return result;
    }
    if (impl_->db == nullptr) {
        result.error = impl_->error;
        return result;
    }
    // The best matches first; the snippet marks matches with two noncharacters.
    Statement select(impl_->db, R"sql(
        SELECT d.folder, d.name, d.student, d.report, d.mtime, m.snippet, m.rank
        FROM (SELECT rowid, rank,
                     snippet(document_text, 0, char(64976), char(64977), char(8230), 16) AS snippet
              FROM document_text WHERE document_text MATCH ?1 ORDER BY rank LIMIT ?2) AS m
        JOIN documents AS d ON d.id = m.rowid
        ORDER BY m.rank)sql");
    if (!select.ok()) {
        result.error = impl_->last_error();
        return result;
    }
    select.bind(1, query).bind(2, static_cast<qint64>(std::max(0, limit)));
    int rc = SQLITE_OK;
    while ((rc = select.step()) == SQLITE_ROW) {
        SearchHit hit;
        const Place place{select.text(0), select.text(1)};
        hit.path = impl_->path_of(place);
        hit.student = select.text(2);
        hit.report = select.text(3);
        hit.date =
            format_document_date(QDateTime::fromMSecsSinceEpoch(select.integer(4) / 1000000));
        hit.snippet = select.text(5).simplified();
        hit.rank = select.real(6);
        result.hits.push_back(std::move(hit));
    }
    if (rc != SQLITE_DONE) {
        result.hits.clear();
        const QString message = impl_->last_error();
        if ((rc & 0xFF) == SQLITE_ERROR) {
            result.error = QStringLiteral("cannot understand the query %1: %2")
                               .arg(quoted_query(query), query_problem(message));
        } else {
            result.error = QStringLiteral("cannot search the index: %1").arg(message);
        }
    }
    return result;
}

}  // namespace quillet
