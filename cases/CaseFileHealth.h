#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

struct sqlite3;

// What the bytes of a case file say before SQLite opens it. Opening is not a read: SQLite rolls a journal back
// into the file and takes a -wal file beside it as part of it, so a file that is plainly not whole is told
// apart first, and then left alone.
struct CaseFileInspection {
    bool hasPages = false; // the file holds data: a file without the case table is damaged, not new
    QString damage;        // why the file cannot be trusted (Chinese); empty when nothing is seen wrong
    QString blocked;       // a file SQLite would open beside it is no regular file (a pipe waits forever): which
};

CaseFileInspection InspectCaseFile(const QString &path);

// The message for a damaged case file: it is named, what was found, that nothing will be written to it, and how
// to get the cases back from a backup.
QString DamagedCaseFileText(const QString &path, const QString &detail);

// The message for a case file that another program holds (a database tool's open transaction, a backup or
// synchronising program): it is named, and the user is told what to do before trying again.
QString BusyCaseFileText(const QString &path);

// The message for a case file that is no longer the one the program opened, or whose case under an id is no
// longer the one the window shows: nothing was written.
QString ReplacedCaseFileText(const QString &path);

// The message for a file beside the case file that is not a regular file (a named pipe, a device, a folder),
// which the program neither opens nor removes.
QString BlockedCaseFileText(const QString &path, const QString &beside);

// Why a statement on the case file failed, in the user's words, with the store's own words after it: rc is
// the store's result code, engineText its message.
QString CaseFileFailureText(int rc, const QString &engineText);

// SQLite's quick check of a whole case file (every page read once; seconds for a large file that is not in the
// page cache) on a thread of its own, over a read-only connection of its own. Going away interrupts it.
class BackgroundQuickCheck {
public:
    explicit BackgroundQuickCheck(QByteArray utf8Path);
    ~BackgroundQuickCheck();
    BackgroundQuickCheck(const BackgroundQuickCheck &) = delete;
    BackgroundQuickCheck &operator=(const BackgroundQuickCheck &) = delete;

    bool finished() const { return finished_; }
    // The share of the file's pages read so far, 0..1 (0 until the check has begun reading).
    double progress() const;
    // Waits for the end: empty when the file is sound (or the check could not tell), else what was found.
    QString verdict();

private:
    void run();

    QByteArray path_;
    std::mutex mutex_; // guards db_ against the interrupt
    sqlite3 *db_ = nullptr;
    bool stopping_ = false;
    std::atomic_bool finished_{false};
    std::atomic<qint64> bytesRead_{0}; // what the check's connection has read of the file
    std::atomic<qint64> size_{0};
    QString verdict_;
    std::thread thread_;
};
