#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A text as the case file stores it (UTF-8, `size` bytes), a leading byte-order mark kept as a character: not
// QString::fromUtf8 alone, which drops it, while a stored name or category list may begin with U+FEFF and must
// read back whole. Null reads as empty.
QString StoredText(const char *utf8, int size);

// One connection to the case file, closed when the object goes. Statements are prepared once per connection
// and reused, which is what makes a batch of many rows cheap.
class SqliteSession {
public:
    SqliteSession() = default;
    ~SqliteSession();
    SqliteSession(const SqliteSession &) = delete;
    SqliteSession &operator=(const SqliteSession &) = delete;

    // Opens the file (an absolute path in UTF-8); with create, a missing file is made. Returns the SQLite code.
    int open(const QByteArray &utf8Path, bool create);
    bool isOpen() const { return db_ != nullptr; }
    // For what the wrapper does not offer (the program's own SQL functions).
    sqlite3 *handle() const { return db_; }
    void close();

    // The store's words for the last failure of a statement of this connection, taken when it happened: a later
    // statement (a rollback, a probe) replaces what the connection itself reports. Without a failure, what the
    // connection reports now.
    QString errorText() const;
    // The result code of that failure; 0 when no statement has failed.
    int failureCode() const { return failRc_; }
    // A statement gave up waiting for another connection that held the file (another program reading or writing
    // it, under the busy timeout).
    bool sawBusy() const;
    int changes() const;
    bool inTransaction() const;
    // The file could only be opened for reading (its permissions, or a read-only medium).
    bool readOnly() const;
    // A statement of this connection met a failure that may have taken its transaction with it (full disk, I/O
    // error, out of memory, damaged file): whatever it was part of can no longer be trusted to be whole.
    bool hadFatalFailure() const { return fatal_; }
    // A statement of this connection found the file damaged or not a database; the store's words for it.
    bool sawDamage() const { return !damage_.isEmpty(); }
    const QString &damageText() const { return damage_; }
    void noteFailure(int rc);

    // Runs one statement that takes no parameters and returns no rows.
    bool exec(const char *sql);

    // The prepared statement for sql, reset and with its parameters cleared; nullptr when it cannot be prepared.
    sqlite3_stmt *statement(const char *sql);

    // For the prepared statement of sql, the result column of each of the count names (-1 where the result
    // has none); worked out once per connection. Empty when sql was never prepared.
    const std::vector<int> &columnsByName(const char *sql, const char *const *names, int count);

private:
    struct Cached {
        std::string sql;
        sqlite3_stmt *stmt = nullptr;
        std::vector<int> columns;
    };
    Cached *find(const char *sql);

    sqlite3 *db_ = nullptr;
    bool fatal_ = false;
    bool ioFailed_ = false;
    int failRc_ = 0;
    QString failText_;
    QString damage_;
    std::vector<Cached> cache_; // a handful of statements: a linear search beats hashing the text
};

// One run of a cached statement: bind, step, read. Resetting on destruction releases the statement's locks.
class SqlQuery {
public:
    SqlQuery(SqliteSession &session, const char *sql);
    ~SqlQuery();
    SqlQuery(const SqlQuery &) = delete;
    SqlQuery &operator=(const SqlQuery &) = delete;

    bool prepared() const { return stmt_ != nullptr; }
    bool bind(int index, qint64 value);
    bool bind(int index, const QString &text);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Runs to completion; true when the statement succeeded.
    bool run();

    // The value as text (an integer as its decimal digits); NULL reads as empty.
    QString text(int column) const;

private:
    SqliteSession &session_;
    sqlite3_stmt *stmt_ = nullptr;
    bool bound_ = true;
};
