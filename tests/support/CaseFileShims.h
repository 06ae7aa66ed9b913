#pragma once

// What tests put in a case file's way: a file system between SQLite and the disk, another connection holding
// the file, a named pipe beside it.

#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <functional>

#include <sys/stat.h>

// A file system between SQLite and the disk, made the default on first use: every call goes through to the one
// that was the default, after the hook set for it. beforeRead is given the flags the file was opened with;
// beforeChange runs before every write, truncation, flush and deletion.
struct ShimVfs {
    std::function<void(int openFlags)> beforeRead;
    std::function<void()> beforeChange;

    static ShimVfs &Installed()
    {
        static ShimVfs shim;
        static const bool registered = [] {
            real() = sqlite3_vfs_find(nullptr);
            static sqlite3_vfs vfs = *real();
            vfs.zName = "shim";
            vfs.szOsFile = int(sizeof(File)) + real()->szOsFile;
            vfs.xOpen = [](sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags) {
                auto *s = reinterpret_cast<File *>(f);
                s->real = reinterpret_cast<sqlite3_file *>(s + 1);
                s->flags = flags;
                const int rc = real()->xOpen(real(), name, s->real, flags, outFlags);
                s->base.pMethods = s->real->pMethods ? &kIo : nullptr;
                return rc;
            };
            vfs.xDelete = [](sqlite3_vfs *, const char *name, int syncDir) {
                Change();
                return real()->xDelete(real(), name, syncDir);
            };
            return sqlite3_vfs_register(&vfs, 1) == SQLITE_OK;
        }();
        (void)registered;
        return shim;
    }

private:
    struct File {
        sqlite3_file base;
        int flags;
        sqlite3_file *real;
    };
    static sqlite3_vfs *&real()
    {
        static sqlite3_vfs *vfs = nullptr;
        return vfs;
    }
    static sqlite3_file *R(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }
    static void Change()
    {
        if (Installed().beforeChange)
            Installed().beforeChange();
    }
    static constexpr sqlite3_io_methods kIo = {
        1,
        [](sqlite3_file *f) { return R(f)->pMethods->xClose(R(f)); },
        [](sqlite3_file *f, void *b, int n, sqlite3_int64 o) {
            if (Installed().beforeRead)
                Installed().beforeRead(reinterpret_cast<File *>(f)->flags);
            return R(f)->pMethods->xRead(R(f), b, n, o);
        },
        [](sqlite3_file *f, const void *b, int n, sqlite3_int64 o) {
            return Change(), R(f)->pMethods->xWrite(R(f), b, n, o);
        },
        [](sqlite3_file *f, sqlite3_int64 size) { return Change(), R(f)->pMethods->xTruncate(R(f), size); },
        [](sqlite3_file *f, int flags) { return Change(), R(f)->pMethods->xSync(R(f), flags); },
        [](sqlite3_file *f, sqlite3_int64 *size) { return R(f)->pMethods->xFileSize(R(f), size); },
        [](sqlite3_file *f, int lock) { return R(f)->pMethods->xLock(R(f), lock); },
        [](sqlite3_file *f, int lock) { return R(f)->pMethods->xUnlock(R(f), lock); },
        [](sqlite3_file *f, int *out) { return R(f)->pMethods->xCheckReservedLock(R(f), out); },
        [](sqlite3_file *f, int op, void *arg) { return R(f)->pMethods->xFileControl(R(f), op, arg); },
        [](sqlite3_file *f) { return R(f)->pMethods->xSectorSize(R(f)); },
        [](sqlite3_file *f) { return R(f)->pMethods->xDeviceCharacteristics(R(f)); },
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // version 1: no shared memory, no mapping
    };
};

// A second connection that holds a case file in one way (a read transaction, a write or exclusive lock) until it
// lets go. It goes past any stand-in file system straight to the disk.
class FileHolder {
public:
    FileHolder() = default;
    FileHolder(const QString &path, const char *how) { hold(path, how); }
    FileHolder(const FileHolder &) = delete;
    FileHolder &operator=(const FileHolder &) = delete;
    ~FileHolder() { release(); }

    // Whether it holds the file as asked.
    bool hold(const QString &path, const char *how)
    {
        release();
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, "unix");
        ok_ = sqlite3_exec(db_, how, nullptr, nullptr, nullptr) == SQLITE_OK;
        return ok_;
    }
    bool ok() const { return ok_; }
    void release()
    {
        if (db_) {
            sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
            sqlite3_close(db_);
        }
        db_ = nullptr;
        ok_ = false;
    }

private:
    sqlite3 *db_ = nullptr;
    bool ok_ = false;
};

// Makes a named pipe at `path`; whether it did.
inline bool MakePipe(const QString &path) { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

// Whether a named pipe is at `path`.
inline bool IsPipe(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}
