#include "SqliteSession.h"

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
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
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
    for (auto &entry : cache_)
        sqlite3_finalize(entry.second);
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
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
}

int SqliteSession::changes() const { return db_ ? sqlite3_changes(db_) : 0; }

bool SqliteSession::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool SqliteSession::exec(const char *sql)
{
    SqlQuery q(*this, sql);
    return q.run();
}

sqlite3_stmt *SqliteSession::statement(const char *sql)
{
    if (!db_)
        return nullptr;
    auto it = cache_.find(sql);
    if (it != cache_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    cache_.emplace(sql, stmt);
    return stmt;
}

SqlQuery::SqlQuery(SqliteSession &session, const char *sql) : stmt_(session.statement(sql)) {}

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
    return sqlite3_step(stmt_);
}

bool SqlQuery::run()
{
    int rc;
    while ((rc = step()) == SQLITE_ROW) {
    }
    return rc == SQLITE_DONE;
}

int SqlQuery::columnCount() const { return stmt_ ? sqlite3_column_count(stmt_) : 0; }

const char *SqlQuery::columnName(int column) const { return sqlite3_column_name(stmt_, column); }

QString SqlQuery::text(int column) const
{
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    if (!chars)
        return {};
    return QString::fromUtf8(chars, sqlite3_column_bytes(stmt_, column));
}
