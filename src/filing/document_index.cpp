// The text index of the converted documents: SQLite FTS5 in a cache file.
//
// documents holds one row per document: where it lies (the names' bytes, as
// listed), its size and modification time when read, and what the grid shows
// of it. document_texts holds its plain text, compressed, under the same id;
// the FTS5 table document_text indexes that text without keeping a copy of
// its own, reading it through the view document_plain for snippets.
#include "document_index.h"

#include <sqlite3.h>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document_listing.h"
#include "document_text.h"
#include "sys_vars.h"

namespace quillet {

namespace {

// Marks the file as ours ("Qlt1"), and the layout of its tables.
constexpr int kApplicationId = 0x516c7431;
constexpr int kSchemaVersion = 2;
// Documents written per transaction: other writers get their turn between them.
constexpr int kDocumentsPerTransaction = 256;
constexpr int kBusyTimeoutMs = 10000;
// Opening is tried again this many times when it fails for another reason than damage.
constexpr int kOpenAttempts = 5;
// A query longer than this is refused.
constexpr qsizetype kLongestQuery = 1000;
// Documents larger than this are indexed by their first bytes only.
constexpr qint64 kLargestDocument = 32 * 1000 * 1000;

constexpr const char* kSchema = R"sql(
CREATE TABLE documents(
    id INTEGER PRIMARY KEY,
    folder BLOB NOT NULL,
    name BLOB NOT NULL,
    size INTEGER NOT NULL,
    mtime INTEGER NOT NULL,
    student TEXT NOT NULL,
    report TEXT NOT NULL,
    UNIQUE(folder, name));
CREATE TABLE document_texts(id INTEGER PRIMARY KEY, text BLOB NOT NULL);
CREATE VIEW document_plain AS SELECT id, quillet_unpack(text) AS text FROM document_texts;
CREATE VIRTUAL TABLE document_text USING fts5(
    text, content = 'document_plain', content_rowid = 'id',
    tokenize = 'unicode61 remove_diacritics 2');
)sql";

const QString kDocumentSuffix = QStringLiteral(".htm");

// A document's place below the HTML reports folder, as the bytes of its names.
struct Place {
    std::string folder;  // the sub-folder; empty for the folder itself
    std::string name;
    // Unique for each place: a folder name holds no "/".
    std::string key() const { return folder + '/' + name; }
};

struct FileState {
    qint64 size = -1;
    qint64 mtime = 0;  // nanoseconds since the epoch
    bool operator==(const FileState&) const = default;
};

FileState state_of(const struct stat& info) {
    return {static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// The grid's student and report name of a document, as the catalogue has them.
std::pair<QString, QString> student_and_report(const Place& place) {
    const QString folder = QFile::decodeName(QByteArray::fromStdString(place.folder));
    const QString report =
        QFile::decodeName(QByteArray::fromStdString(place.name)).toLower().remove(kDocumentSuffix);
    const bool fennick = folder.toLower() == QLatin1String("fennick");
    return {fennick ? report : folder, report};
}

using Listing = std::unordered_map<std::string, std::pair<Place, FileState>>;

// Every document of the catalogue, with its size and time: the files *.htm of
// folder and of its immediate sub-folders, hidden ones left out.
Listing list_documents(const std::string& folder) {
    Listing found;
    const auto add = [&](const std::string& sub_folder) {
        return [&found, sub_folder](std::string_view name, const struct stat& info) {
            Place place{sub_folder, std::string(name)};
            std::string key = place.key();
            found.emplace(std::move(key), std::pair{std::move(place), state_of(info)});
        };
    };
    std::vector<std::string> folders;
    list_html_documents(folder, add(std::string()), &folders);
    for (const std::string& sub : folders) {
        list_html_documents(folder + '/' + sub, add(sub));
    }
    return found;
}

// The text bytes of a document and the state they were read in.
struct ReadDocument {
    std::string bytes;
    FileState state;
};

std::optional<ReadDocument> read_document(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    // bytes must stay until the statement is reset.
    Statement& bind_blob(int i, std::string_view bytes) {
        sqlite3_bind_blob64(stmt_, i, bytes.data(), bytes.size(), SQLITE_STATIC);
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
    std::string_view bytes(int column) const {
        const void* data = sqlite3_column_blob(stmt_, column);
        return data == nullptr ? std::string_view()
                               : std::string_view(
                                     static_cast<const char*>(data),
                                     static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Text is kept compressed: plain text of reports takes a few times the room.
std::string pack(std::string_view text) {
    const QByteArray packed = qCompress(reinterpret_cast<const uchar*>(text.data()),
                                        static_cast<qsizetype>(text.size()), 1);
    return packed.toStdString();
}

std::optional<QByteArray> unpack(std::string_view packed) {
    if (packed.size() < 4) {
        return std::nullopt;
    }
    QByteArray text = qUncompress(reinterpret_cast<const uchar*>(packed.data()),
                                  static_cast<qsizetype>(packed.size()));
    if (text.isEmpty() && !(packed[0] == 0 && packed[1] == 0 && packed[2] == 0 && packed[3] == 0)) {
        return std::nullopt;  // damaged
    }
    return text;
}

// quillet_unpack(packed): the plain text, for the view the FTS5 table reads.
void sql_unpack(sqlite3_context* context, int, sqlite3_value** values) {
    const void* data = sqlite3_value_blob(values[0]);
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(values[0]));
    const std::optional<QByteArray> text =
        unpack(data == nullptr ? std::string_view()
                               : std::string_view(static_cast<const char*>(data), size));
    if (!text) {
        sqlite3_result_error_code(context, SQLITE_CORRUPT);
        return;
    }
    sqlite3_result_text64(context, text->constData(), static_cast<sqlite3_uint64>(text->size()),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
}

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
        return QStringLiteral(
                   "\"%1\" is read as a column name; put a word with \"-\" or "
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
    std::string folder_bytes;
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
    // Makes the connection ready: the result code, SQLITE_NOTADB for a file
    // that is not an index of this version.
    int prepare();
    bool open_file();
    bool rebuild();
    std::string path_of(const Place& place) const {
        return place.folder.empty() ? folder_bytes + '/' + place.name
                                    : folder_bytes + '/' + place.folder + '/' + place.name;
    }
    std::optional<Place> place_of(const QString& path) const;
    int write(const std::vector<Place>& places, const std::function<bool(qint64, qint64)>& progress,
              bool& cancelled);
};

namespace {

// The statements that write documents, prepared once for a write.
struct IndexStatements {
    explicit IndexStatements(sqlite3* db)
        : find(db, "SELECT id, size, mtime FROM documents WHERE folder = ?1 AND name = ?2"),
          old_text(db, "SELECT text FROM document_texts WHERE id = ?1"),
          unindex(db,
                  "INSERT INTO document_text(document_text, rowid, text) VALUES('delete', ?1, ?2)"),
          remove_text(db, "DELETE FROM document_texts WHERE id = ?1"),
          remove_row(db, "DELETE FROM documents WHERE id = ?1"),
          insert_row(db,
                     "INSERT INTO documents(folder, name, size, mtime, student, report) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
          insert_text(db, "INSERT INTO document_texts(id, text) VALUES(?1, ?2)"),
          index(db, "INSERT INTO document_text(rowid, text) VALUES(?1, ?2)"),
          db_(db) {}

    bool ok() const {
        for (const Statement* s : {&find, &old_text, &unindex, &remove_text, &remove_row,
                                   &insert_row, &insert_text, &index}) {
            if (!s->ok()) {
                return false;
            }
        }
        return true;
    }

    // Writes the document at place as it is now at path, or drops it when it is gone.
    int store(const Place& place, const std::string& path) {
        const std::optional<ReadDocument> doc = read_document(path);
        find.bind_blob(1, place.folder).bind_blob(2, place.name);
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
        if (id && (rc = remove(*id)) != SQLITE_OK) {
            return rc;
        }
        if (!doc) {
            return SQLITE_OK;
        }
        const auto [student, report] = student_and_report(place);
        rc = insert_row.bind_blob(1, place.folder)
                 .bind_blob(2, place.name)
                 .bind(3, doc->state.size)
                 .bind(4, doc->state.mtime)
                 .bind(5, student)
                 .bind(6, report)
                 .run();
        if (rc != SQLITE_DONE) {
            return rc;
        }
        const qint64 new_id = sqlite3_last_insert_rowid(db_);
        const std::string text = document_text(doc->bytes);
        const std::string packed = pack(text);
        if ((rc = insert_text.bind(1, new_id).bind_blob(2, packed).run()) != SQLITE_DONE ||
            (rc = index.bind(1, new_id).bind(2, std::string_view(text)).run()) != SQLITE_DONE) {
            return rc;
        }
        return SQLITE_OK;
    }

    // Drops document id; its text leaves the index word by word.
    int remove(qint64 id) {
        old_text.bind(1, id);
        int rc = old_text.step();
        if (rc == SQLITE_ROW) {
            const std::optional<QByteArray> text = unpack(old_text.bytes(0));
            if (!text) {
                old_text.reset();
                return SQLITE_CORRUPT;
            }
            rc = unindex.bind(1, id)
                     .bind(2, std::string_view(text->constData(), text->size()))
                     .run();
            if (rc != SQLITE_DONE) {
                old_text.reset();
                return rc;
            }
            rc = SQLITE_DONE;
        }
        old_text.reset();
        if (rc != SQLITE_DONE || (rc = remove_text.bind(1, id).run()) != SQLITE_DONE ||
            (rc = remove_row.bind(1, id).run()) != SQLITE_DONE) {
            return rc;
        }
        return SQLITE_OK;
    }

    Statement find, old_text, unindex, remove_text, remove_row, insert_row, insert_text, index;

private:
    sqlite3* db_;
};

}  // namespace

// Creates the file 0600 before SQLite sees it; the -wal and -shm files take
// its permissions. An existing file is never opened here: closing a
// descriptor of it would release the locks that this process's other
// connections hold on it, and another process could then take the
// write-ahead log away from under them.
bool DocumentIndex::Impl::open_file() {
    // Students' assessments: the folder and the files are the user's alone.
    const QString parent = QFileInfo(file).absolutePath();
    if (!QFileInfo(parent).isDir() && QDir().mkpath(parent)) {
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray name = QFile::encodeName(file);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    } else if (errno != EEXIST) {
        error = QStringLiteral("cannot create the index %1: %2")
                    .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    } else {
        ::chmod(name.constData(), 0600);
    }
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = last_error();
        close();
        return false;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_create_function(db, "quillet_unpack", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            sql_unpack, nullptr, nullptr);
    return true;
}

int DocumentIndex::Impl::prepare() {
    // WAL lets readers go on while one process writes.
    int rc = exec("PRAGMA journal_mode=WAL");
    if (rc != SQLITE_OK || (rc = exec("PRAGMA synchronous=NORMAL")) != SQLITE_OK ||
        (rc = exec("BEGIN IMMEDIATE")) != SQLITE_OK) {
        return rc;
    }
    bool usable = false;
    {
        Statement id(db, "PRAGMA application_id");
        Statement version(db, "PRAGMA user_version");
        Statement tables(db, "SELECT count(*) FROM sqlite_master");
        if ((rc = id.step()) != SQLITE_ROW || (rc = version.step()) != SQLITE_ROW ||
            (rc = tables.step()) != SQLITE_ROW) {
            exec("ROLLBACK");
            return rc;
        }
        usable = id.integer(0) == kApplicationId && version.integer(0) == kSchemaVersion;
        if (!usable && tables.integer(0) == 0) {
            // A new file: make the tables.
            const std::string mark = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                     "; PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                                     ";";
            if ((rc = exec(kSchema)) != SQLITE_OK || (rc = exec(mark.c_str())) != SQLITE_OK) {
                exec("ROLLBACK");
                return rc;
            }
            usable = true;
            fresh = true;
        }
    }
    if (!usable) {
        exec("ROLLBACK");
        return SQLITE_NOTADB;  // not ours, or another version
    }
    if ((rc = exec("COMMIT")) != SQLITE_OK) {
        exec("ROLLBACK");
    }
    return rc;
}

bool DocumentIndex::Impl::open() {
    bool rebuilt = false;
    for (int attempt = 1;; ++attempt) {
        if (!open_file()) {
            return false;
        }
        const int rc = prepare();
        if (rc == SQLITE_OK) {
            return true;
        }
        error = QStringLiteral("cannot open the index %1: %2").arg(file, last_error());
        close();
        if (rc == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) {
            return false;  // held by another process for longer than the busy timeout
        }
        // A failure while another process opens, checkpoints or closes the
        // file passes: try again. Only damage, or a failure that stays, has
        // the cache made anew, once.
        if (!is_damage(rc) && attempt < kOpenAttempts) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
            continue;
        }
        if (rebuilt) {
            return false;
        }
        remove_index_files(file);
        fresh = true;
        rebuilt = true;
        attempt = 0;
    }
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
    const std::string name = QFile::encodeName(info.fileName()).toStdString();
    if (!is_html_document_name(name)) {
        return std::nullopt;
    }
    const QString parent = QDir::cleanPath(info.absolutePath());
    if (parent == folder) {
        return Place{std::string(), name};
    }
    const QFileInfo parent_info(parent);
    if (QDir::cleanPath(parent_info.absolutePath()) == folder &&
        !parent_info.fileName().startsWith(QLatin1Char('.'))) {
        return Place{QFile::encodeName(parent_info.fileName()).toStdString(), name};
    }
    return std::nullopt;
}

int DocumentIndex::Impl::write(const std::vector<Place>& places,
                               const std::function<bool(qint64, qint64)>& progress,
                               bool& cancelled) {
    IndexStatements writer(db);
    if (!writer.ok()) {
        return sqlite3_errcode(db);
    }
    // A few hundred documents a transaction: other writers get their turn between them.
    const auto total = static_cast<qint64>(places.size());
    std::size_t next = 0;
    while (next < places.size()) {
        int rc = exec("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) {
            return rc;
        }
        const std::size_t end = std::min(places.size(), next + kDocumentsPerTransaction);
        for (; next < end; ++next) {
            rc = writer.store(places[next], path_of(places[next]));
            if (rc != SQLITE_OK) {
                exec("ROLLBACK");
                return rc;
            }
        }
        if ((rc = exec("COMMIT")) != SQLITE_OK) {
            exec("ROLLBACK");
            return rc;
        }
        if (progress && !progress(static_cast<qint64>(next), total)) {
            cancelled = next < places.size();
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
    impl_->folder_bytes = QFile::encodeName(impl_->folder).toStdString();
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
        Listing on_disk = list_documents(impl_->folder_bytes);
        std::vector<Place> work;  // the documents gone, changed or new
        int rc = SQLITE_OK;
        {
            Statement known(impl_->db, "SELECT folder, name, size, mtime FROM documents");
            std::string key;
            while ((rc = known.step()) == SQLITE_ROW) {
                key.assign(known.bytes(0));
                key += '/';
                key += known.bytes(1);
                const auto found = on_disk.find(key);
                if (found == on_disk.end()) {
                    work.push_back(Place{std::string(known.bytes(0)), std::string(known.bytes(1))});
                } else if (found->second.second == FileState{known.integer(2), known.integer(3)}) {
                    on_disk.erase(found);
                }
            }
        }
        if (rc == SQLITE_DONE) {
            for (auto& [key, entry] : on_disk) {
                work.push_back(std::move(entry.first));
            }
            const auto total = static_cast<qint64>(work.size());
            if (progress && total > 0 && !progress(0, total)) {
                return false;
            }
            bool cancelled = false;
            rc = impl_->write(work, progress, cancelled);
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
    std::vector<Place> places;
    for (const QString& path : paths) {
        if (std::optional<Place> place = impl_->place_of(path)) {
            places.push_back(std::move(*place));
        }
    }
    bool cancelled = false;
    const int rc = impl_->write(places, {}, cancelled);
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
        result.error =
            QStringLiteral("cannot understand the query %1: it is longer than %2 characters")
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
        const Place place{std::string(select.bytes(0)), std::string(select.bytes(1))};
        hit.path = QFile::decodeName(QByteArray::fromStdString(impl_->path_of(place)));
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
            if (is_damage(rc)) {
                // Made anew, empty: the next refresh() fills it again.
                select.reset();
                impl_->rebuild();
            }
        }
    }
    return result;
}

}  // namespace quillet
