#include "SqliteSession.h"

#include <QStringDecoder>

#include <sqlite3.h>

namespace {
// How long a statement waits for another connection (a second program instance, the case-tree loader) to let
// go of the file before it gives up.
constexpr int kBusyTimeoutMs = 5000;
} // namespace

SqliteSession::~SqliteSession() { close(); }

int SqliteSession::open(const QByteArray &utf8Path, bool create)
{
    close();
    // A connection is only ever used by one thread at a time (an operation, or the one thread running a batch).
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(utf8Path.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return rc;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    return SQLITE_OK;
}

void SqliteSession::close()
{
    fatal_ = false;
    ioFailed_ = false;
    failRc_ = 0;
    failText_.clear();
    damage_.clear();
    for (Cached &entry : cache_)
        sqlite3_finalize(entry.stmt);
    cache_.clear();
    if (db_) {
        // A transaction still open here was never committed: it is given up, never half-applied.
        if (!sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

QString SqliteSession::errorText() const
{
    if (failRc_ != 0)
        return failText_;
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
}

int SqliteSession::changes() const { return db_ ? sqlite3_changes(db_) : 0; }

bool SqliteSession::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool SqliteSession::readOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

bool SqliteSession::sawBusy() const
{
    return (failRc_ & 0xff) == SQLITE_BUSY || (failRc_ & 0xff) == SQLITE_LOCKED;
}

void SqliteSession::noteFailure(int rc)
{
    failRc_ = rc;
    failText_ = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_NOMEM:
        fatal_ = true;
        ioFailed_ = true;
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        fatal_ = true;
        // After a failed write the store may call its own half-done state damaged: the file is not.
        if (damage_.isEmpty() && !ioFailed_)
            damage_ = errorText();
        break;
    default:
        break;
    }
}

bool SqliteSession::exec(const char *sql)
{
    SqlQuery q(*this, sql);
    return q.run();
}

SqliteSession::Cached *SqliteSession::find(const char *sql)
{
    for (Cached &entry : cache_)
        if (entry.sql == sql)
            return &entry;
    return nullptr;
}

sqlite3_stmt *SqliteSession::statement(const char *sql)
{
    if (!db_)
        return nullptr;
    if (Cached *entry = find(sql)) {
        sqlite3_reset(entry->stmt);
        sqlite3_clear_bindings(entry->stmt);
        return entry->stmt;
    }
    sqlite3_stmt *stmt = nullptr;
    // Preparing reads the schema: a damaged file or one that is not a database is met here first.
    if (const int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr); rc != SQLITE_OK) {
        noteFailure(rc);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    cache_.push_back({sql, stmt, {}});
    return stmt;
}

const std::vector<int> &SqliteSession::columnsByName(const char *sql, const char *const *names, int count)
{
    static const std::vector<int> none;
    Cached *entry = find(sql);
    if (!entry)
        return none;
    if (int(entry->columns.size()) != count) {
        entry->columns.assign(count, -1);
        const int n = sqlite3_column_count(entry->stmt);
        for (int c = 0; c < n; ++c) {
            const char *name = sqlite3_column_name(entry->stmt, c);
            for (int i = 0; name && i < count; ++i) {
                if (entry->columns[i] < 0 && sqlite3_stricmp(name, names[i]) == 0) {
                    entry->columns[i] = c;
                    break;
                }
            }
        }
    }
    return entry->columns;
}

SqlQuery::SqlQuery(SqliteSession &session, const char *sql) : session_(session), stmt_(session.statement(sql)) {}

SqlQuery::~SqlQuery()
{
    if (stmt_)
        sqlite3_reset(stmt_);
}

bool SqlQuery::bind(int index, qint64 value)
{
    const bool ok = stmt_ && sqlite3_bind_int64(stmt_, index, value) == SQLITE_OK;
    bound_ = bound_ && ok;
    return ok;
}

bool SqlQuery::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const bool ok = stmt_ && sqlite3_bind_text64(stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                                 SQLITE_TRANSIENT, SQLITE_UTF8) == SQLITE_OK;
    bound_ = bound_ && ok;
    return ok;
}

int SqlQuery::step()
{
    if (!stmt_)
        return SQLITE_ERROR;
    if (!bound_)
        return SQLITE_RANGE;
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        session_.noteFailure(rc);
    return rc;
}

bool SqlQuery::run()
{
    int rc;
    while ((rc = step()) == SQLITE_ROW) {
    }
    return rc == SQLITE_DONE;
}

QString StoredText(const char *utf8, int size)
{
    if (!utf8)
        return {};
    if (size >= 3 && QByteArrayView(utf8, 3) == "\xEF\xBB\xBF") {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return decoder(QByteArrayView(utf8, size));
    }
    return QString::fromUtf8(utf8, size);
}

QString SqlQuery::text(int column) const
{
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return StoredText(chars, sqlite3_column_bytes(stmt_, column));
}
