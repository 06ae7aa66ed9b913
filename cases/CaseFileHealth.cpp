#include "CaseFileHealth.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <mutex>

namespace {

// The file header of SQLite's file format (sqlite.org/fileformat.html, section 1.3).
constexpr int kHeaderSize = 100;
constexpr char kMagic[] = "SQLite format 3"; // 16 bytes with its NUL

quint32 BigEndian(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

// The check's connection goes through a file system layer of its own that counts the bytes it reads, so that a save
// waiting for the check can show how far it has got (the check is one long step of the store, which reports nothing
// while it runs). The main file that a connection opens on the check's thread counts into that thread's counter;
// every call goes on to the file system layer that was the default when this one was made.
thread_local std::atomic<qint64> *t_readCounter = nullptr;
sqlite3_vfs *g_baseVfs = nullptr;
sqlite3_vfs g_countingVfs;

struct CountingFile {
    sqlite3_file base;
    std::atomic<qint64> *counter;
    sqlite3_file *real;
};

sqlite3_file *RealFile(sqlite3_file *f) { return reinterpret_cast<CountingFile *>(f)->real; }

const sqlite3_io_methods kCountingIo = {
    1,
    [](sqlite3_file *f) { return RealFile(f)->pMethods->xClose(RealFile(f)); },
    [](sqlite3_file *f, void *b, int n, sqlite3_int64 o) {
        if (auto *counter = reinterpret_cast<CountingFile *>(f)->counter)
            *counter += n;
        return RealFile(f)->pMethods->xRead(RealFile(f), b, n, o);
    },
    [](sqlite3_file *f, const void *b, int n, sqlite3_int64 o) { return RealFile(f)->pMethods->xWrite(RealFile(f), b, n, o); },
    [](sqlite3_file *f, sqlite3_int64 size) { return RealFile(f)->pMethods->xTruncate(RealFile(f), size); },
    [](sqlite3_file *f, int flags) { return RealFile(f)->pMethods->xSync(RealFile(f), flags); },
    [](sqlite3_file *f, sqlite3_int64 *size) { return RealFile(f)->pMethods->xFileSize(RealFile(f), size); },
    [](sqlite3_file *f, int lock) { return RealFile(f)->pMethods->xLock(RealFile(f), lock); },
    [](sqlite3_file *f, int lock) { return RealFile(f)->pMethods->xUnlock(RealFile(f), lock); },
    [](sqlite3_file *f, int *out) { return RealFile(f)->pMethods->xCheckReservedLock(RealFile(f), out); },
    [](sqlite3_file *f, int op, void *arg) { return RealFile(f)->pMethods->xFileControl(RealFile(f), op, arg); },
    [](sqlite3_file *f) { return RealFile(f)->pMethods->xSectorSize(RealFile(f)); },
    [](sqlite3_file *f) { return RealFile(f)->pMethods->xDeviceCharacteristics(RealFile(f)); },
};

const char *CountingVfs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_baseVfs = sqlite3_vfs_find(nullptr);
        g_countingVfs = *g_baseVfs;
        g_countingVfs.zName = "quorin-counting";
        g_countingVfs.szOsFile = int(sizeof(CountingFile)) + g_baseVfs->szOsFile;
        g_countingVfs.xOpen = [](sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags) {
            auto *c = reinterpret_cast<CountingFile *>(f);
            c->real = reinterpret_cast<sqlite3_file *>(c + 1);
            c->counter = (flags & SQLITE_OPEN_MAIN_DB) ? t_readCounter : nullptr;
            const int rc = g_baseVfs->xOpen(g_baseVfs, name, c->real, flags, outFlags);
            c->base.pMethods = c->real->pMethods ? &kCountingIo : nullptr;
            return rc;
        };
        sqlite3_vfs_register(&g_countingVfs, 0);
    });
    return g_countingVfs.zName;
}

} // namespace

CaseFileInspection InspectCaseFile(const QString &path)
{
    CaseFileInspection seen;
    // SQLite opens these itself when it finds them, and a named pipe under such a name would keep it waiting.
    for (const QString &beside : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        const QFileInfo other(path + beside);
        if ((other.exists() || other.isSymLink()) && !other.isFile()) {
            seen.blocked = other.absoluteFilePath();
            return seen;
        }
    }
    const QFileInfo info(path);
    if (!info.isFile())
        return seen; // nothing there, or a folder or device that SQLite refuses by itself (a pipe is not opened)
    const QString wal = path + QStringLiteral("-wal");
    // QFileInfo gives a file that is not there the size 0.
    const bool hasWal = QFileInfo(wal).size() > 0;
    const bool hasJournal = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
    const qint64 size = info.size();
    if (size == 0) {
        // SQLite deletes a -wal beside an empty file: whatever it holds is not this program's to throw away.
        if (hasWal)
            seen.damage = QStringLiteral("文件是空的，旁边却有一个“%1”文件。").arg(QFileInfo(wal).fileName());
        return seen;
    }
    seen.hasPages = true;
    QFile file(path);
    QByteArray header;
    if (file.open(QIODevice::ReadOnly))
        header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(QByteArray(kMagic, sizeof kMagic))) {
        seen.damage = QStringLiteral("文件开头不是数据库的标记：文件的开头已经损坏，或者它不是案例数据库。");
        return seen;
    }
    quint32 pageSize = BigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) {
        seen.damage = QStringLiteral("文件头记录的页大小无效。");
        return seen;
    }
    // Versions 1 and 1 at offsets 18 and 19: the file keeps a rollback journal, as this program's files do. A -wal
    // beside such a file was not written for it, yet SQLite would read its pages as the file's.
    if (hasWal && header[18] == 1 && header[19] == 1) {
        seen.damage = QStringLiteral("它旁边的“%1”不是它的日志文件（可能是从别处复制来的）。").arg(QFileInfo(wal).fileName());
        return seen;
    }
    if (hasJournal)
        return seen; // a save that was stopped: its journal makes the file whole again when SQLite opens it
    // The page count at offset 28 is trusted when the change counter (24) equals the valid-for number (92).
    const quint32 pages = BigEndian(header, 28, 4);
    const bool countValid = pages > 0 && BigEndian(header, 24, 4) == BigEndian(header, 92, 4);
    if (size % pageSize != 0 || (countValid && size < qint64(pages) * pageSize))
        seen.damage = QStringLiteral("文件不完整：它比文件头记录的长度短（%1 字节）。").arg(size);
    return seen;
}

QString DamagedCaseFileText(const QString &path, const QString &detail)
{
    return QStringLiteral("案例数据库文件已经损坏：\n%1\n\n%2\n\n为免丢失案例，软件不会改动这个文件，也不会往里面保存案例。"
                          "请关闭软件，把这个文件连同它旁边名字以“%3”开头的文件一起移到别处留存，"
                          "再打开软件，用“还原案例数据”从备份还原案例。")
        .arg(QDir::toNativeSeparators(path), detail, QFileInfo(path).fileName());
}

QString BusyCaseFileText(const QString &path)
{
    return QStringLiteral("案例数据库文件正被其他程序使用：\n%1\n\n可能是数据库工具、备份或同步软件正在读写它。"
                          "请等它用完或者关闭它，再重试。")
        .arg(QDir::toNativeSeparators(path));
}

QString ReplacedCaseFileText(const QString &path)
{
    return QStringLiteral("案例文件已被其他程序替换：\n%1\n\n它已经不是软件打开的那个文件，或者窗口里的案例在它里面已经换成了别的案例。"
                          "为免改写别的案例，软件没有往里面写入任何内容。请关闭软件，再重新打开。")
        .arg(QDir::toNativeSeparators(path));
}

QString BlockedCaseFileText(const QString &path, const QString &beside)
{
    return QStringLiteral("无法打开案例数据库：\n%1\n\n它旁边的“%2”不是普通文件（可能是管道或者设备），软件不会打开它，也不会删除它。"
                          "请把它移走，再重新打开软件。")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(beside));
}

QString CaseFileFailureText(int rc, const QString &engineText)
{
    QString why;
    switch (rc & 0xff) {
    case SQLITE_FULL:
        why = QStringLiteral("磁盘已满");
        break;
    case SQLITE_IOERR:
        why = QStringLiteral("读写文件时出错（磁盘已满、已被拔出或者损坏）");
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        why = QStringLiteral("文件只能读取，不能写入");
        break;
    case SQLITE_CANTOPEN:
        why = QStringLiteral("无法打开文件");
        break;
    case SQLITE_NOMEM:
        why = QStringLiteral("内存不足");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        why = QStringLiteral("文件正被其他程序使用");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        why = QStringLiteral("文件已经损坏");
        break;
    default:
        return engineText.isEmpty() ? QStringLiteral("原因不明") : engineText;
    }
    return engineText.isEmpty() ? why : why + QStringLiteral("（") + engineText + QStringLiteral("）");
}

BackgroundQuickCheck::BackgroundQuickCheck(QByteArray utf8Path) : path_(std::move(utf8Path))
{
    thread_ = std::thread([this] { run(); });
}

BackgroundQuickCheck::~BackgroundQuickCheck()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (db_)
            sqlite3_interrupt(db_);
    }
    if (thread_.joinable())
        thread_.join();
}

double BackgroundQuickCheck::progress() const
{
    const qint64 size = size_;
    return size > 0 ? std::min(1.0, double(bytesRead_) / double(size)) : 0.0;
}

QString BackgroundQuickCheck::verdict()
{
    if (thread_.joinable())
        thread_.join();
    return verdict_;
}

void BackgroundQuickCheck::run()
{
    sqlite3 *db = nullptr;
    size_ = QFileInfo(QString::fromUtf8(path_)).size();
    t_readCounter = &bytesRead_; // the file this thread opens next counts its reads here
    const int rc =
        sqlite3_open_v2(path_.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, CountingVfs());
    t_readCounter = nullptr;
    {
        std::lock_guard lock(mutex_);
        db_ = rc == SQLITE_OK && !stopping_ ? db : nullptr;
    }
    if (db_) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt *st = nullptr;
        int step = sqlite3_prepare_v2(db, "pragma quick_check;", -1, &st, nullptr);
        if (step == SQLITE_OK)
            step = sqlite3_step(st);
        const auto *first = step == SQLITE_ROW ? reinterpret_cast<const char *>(sqlite3_column_text(st, 0)) : nullptr;
        // Only damage is a verdict: an interrupted check, a busy file or a failed read says nothing of the file.
        if (first && qstrcmp(first, "ok") != 0)
            verdict_ = QString::fromUtf8(first);
        else if ((step & 0xff) == SQLITE_CORRUPT || (step & 0xff) == SQLITE_NOTADB)
            verdict_ = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
    }
    {
        std::lock_guard lock(mutex_);
        db_ = nullptr;
    }
    sqlite3_close_v2(db);
    finished_ = true;
}
