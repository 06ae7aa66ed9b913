// The operations of the case database that act on the case file as a whole: backup, restore and delete-all,
// and finishing at the next start what a stopped restore or delete-all began. Compaction, import and export are
// in MRecordBase_copy.cpp, the old flat file's migration in MRecordBase_migrate.cpp.
//
// Rule of every whole-database operation: the live case file and the case folder are never changed in place. New data is
// made complete beside them and swapped in by renames; a marker file says when a swap of several renames has
// begun, so that a program stopped half-way finishes it at the next start (FinishInterrupted).
#include "MRecordBase_whole.h"

#include "CaseFileHealth.h"
#include "FileRead.h"

#include <QDirIterator>

#include <cerrno>

using namespace wholedb;

CaseFileOps &MRecordBase::Ops() { return fileOps ? *fileOps : CaseFileOps::standard(); }

int MRecordBase::Open(const QString &dbPath, bool convertOld)
{
    if (appFolder.isEmpty())
        appFolder = ExecutableFolder();
    // A swap marker that is no regular file says nothing of which side of a swap is whole: the file is not opened.
    const SwapPaths p(appFolder, dbPath);
    if (const QFileInfo marker(p.marker); (marker.exists() || marker.isSymLink()) && !marker.isFile()) {
        busy = false;
        message = BlockedCaseFileText(p.db, p.marker);
        return -1;
    }
    FinishInterrupted(dbPath);
    const int rc = Open(dbPath);
    if (rc != 0)
        return rc;
    // All three read the rows the file is checked for: with the check running beside the start, they wait for its
    // verdict (SettleQuickCheck does them) rather than read the whole file first.
    openingPending = true;
    if (checkState == CheckState::Done)
        FinishOpening();
    return convertOld ? ConvertOldData() : rc;
}

void MRecordBase::FinishOpening()
{
    openingPending = false;
    FinishStoppedSave();
    FinishStoppedDeletes();
    WriteMissingRemarkFiles();
}

// An import writes its cases' comment files after its commit, under a marker beside the case file: a program
// stopped before the last one leaves the marker, and the next start writes the missing files from the comments
// stored in the rows. Without the marker a start does no work here.
void MRecordBase::WriteMissingRemarkFiles()
{
    CaseFileOps &ops = Ops();
    const QString marker = RemarksDueMarker(utf8Path);
    const QString folder = CaseFolder(appFolder);
    if (!remarkCodec.toRtf || !ops.exists(marker) || !SettleQuickCheck())
        return;
    const QString note = message; // what the start shows is not this work's business
    if ((ops.isDir(folder) || ops.makeDir(folder)) && EnsureRemarkFilesIn(utf8Path, folder))
        ops.remove(marker);
    message = note;
}

// A swap that was cut short: with its marker, it is finished (the new data was complete before the marker was
// written); without one, the staged copies are dropped. Old copies that a finished swap left are removed.
bool MRecordBase::FinishInterrupted(const QString &dbPath)
{
    CaseFileOps &ops = Ops();
    const SwapPaths p(appFolder, dbPath);
    bool ok = true;
    if (ops.exists(p.marker)) {
        QFile f;
        const QByteArray kind = OpenRegularFile(f, p.marker) ? f.read(64).trimmed() : QByteArray();
        if (kind == "restore") {
            if (ops.exists(p.newDb)) {
                if (ops.exists(p.db) && !ops.exists(p.oldDb))
                    ok = ops.rename(p.db, p.oldDb) && ok;
                ok = ok && ops.rename(p.newDb, p.db);
            }
            if (ok && ops.isDir(p.newFolder)) {
                if (ops.isDir(p.folder) && !ops.isDir(p.oldFolder))
                    ok = ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1));
                ok = ok && ops.rename(p.newFolder.chopped(1), p.folder.chopped(1));
            }
        } else if (kind == "delete") {
            if (ops.exists(p.db) && !ops.exists(p.oldDb))
                ok = ops.rename(p.db, p.oldDb);
            if (ok && ops.isDir(p.folder) && !ops.isDir(p.oldFolder))
                ok = ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1));
            ok = ok && ops.makeDir(p.folder);
        }
        if (!ok)
            return false; // the marker stays: the next start tries again
        ops.syncDir(p.dbFolder());
        ops.syncDir(p.folderParent());
        if (!ops.remove(p.marker))
            return false;
    }
    // No swap under way: whatever staged or old copies are left belong to no one, and neither does the fresh
    // file of a compaction that was stopped before its rename.
    ok = RemoveDbFile(ops, Slashed(QFileInfo(dbPath).absolutePath()) + Base() + QStringLiteral("_back.db")) && ok;
    ok = RemoveDbFile(ops, p.newDb) && ok;
    ok = ops.removeFolder(p.newFolder) && ok;
    // The temporaries that stopped writes left beside the case file and in the case folder are the start's sweep
    // (ClearStoppedSession), the one pass over the case folder's names.
    ok = RemoveDbFile(ops, p.oldDb) && ok;
    ok = ops.removeFolder(p.oldFolder) && ok;
    return ok;
}

bool MRecordBase::CheckBaseType(const QString &expected)
{
    SqliteSession s;
    if (!OpenSession(s)) {
        message = s.errorText();
        return false;
    }
    SqlQuery q(s, "select baseType from case_extra;");
    const int rc = q.step();
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            message = s.errorText();
        return false;
    }
    return q.text(0) == expected;
}

bool MRecordBase::EnsureRemarkFiles()
{
    return !InBatch() && !RefuseDamaged(kErrUpdate) && EnsureRemarkFilesIn(utf8Path, CaseFolder(appFolder));
}

// Gives every case of the file whose stored comment-file name is unusable a fresh one, then writes the comment
// file of every case that has none, or whose file is empty while its row holds a comment. Never overwrites a
// file that holds anything.
bool MRecordBase::EnsureRemarkFilesIn(const QByteArray &dbUtf8, const QString &folder)
{
    CaseFileOps &ops = Ops();
    sqlite3 *db = nullptr;
    auto fail = [&](const char *text) {
        sqlite3_close_v2(db); // an open transaction is rolled back with the connection
        message = Text(text);
        return false;
    };
    if (dbUtf8.isEmpty() || sqlite3_open_v2(dbUtf8.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return fail(kErrOpen);
    sqlite3_busy_timeout(db, 5000);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(kErrOpen);
    const QSet<QString> present = FilesIn(ops, folder);
    QSet<QString> taken = TakenNames(present);
    // A comment file that is there but empty while its row holds a comment is a name claimed for a file that a
    // stopped program never renamed over it (FilePlace.h): it is written again from the row, like a missing one.
    std::vector<TRecordData> unnamed, missing, emptied;
    const bool scanned = ScanCases(db, [&](TRecordData &rec) {
        if (!IsValidRemarkFile(rec.remarkFile)) {
            unnamed.push_back(rec); // named once every valid stored name is known
            return true;
        }
        taken.insert(rec.remarkFile);
        const QString file = rec.remarkFile + QStringLiteral(".rtf");
        if (!present.contains(file))
            missing.push_back(rec);
        else if (!rec.remarkText.isEmpty() && IsEmptyFile(folder + file))
            emptied.push_back(rec);
        return true;
    });
    if (!scanned)
        return fail("无法读取案例数据！");
    for (TRecordData &rec : unnamed) {
        rec.remarkFile = FreshName(taken, rec);
        missing.push_back(rec);
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = rec.remarkFile.toUtf8();
        const bool ok = sqlite3_prepare_v2(db, "update case_data set remarkFile=? where id=?;", -1, &st, nullptr) ==
                            SQLITE_OK &&
                        sqlite3_bind_text(st, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
                        sqlite3_bind_int64(st, 2, rec.id) == SQLITE_OK && sqlite3_step(st) == SQLITE_DONE;
        sqlite3_finalize(st);
        if (!ok)
            return fail(kErrUpdate);
    }
    if (!ops.checkpoint("remarks-commit") || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(kErrUpdate);
    sqlite3_close_v2(db);
    // The comments are in the rows, so a file that is not written here is written at the next call; until then
    // the call says that one is missing.
    int unwritten = 0;
    if (remarkCodec.toRtf) {
        for (const TRecordData &rec : missing)
            if (!ops.createFile(folder + rec.remarkFile + QStringLiteral(".rtf"), remarkCodec.toRtf(rec.remarkText)))
                ++unwritten;
        for (const TRecordData &rec : emptied) {
            const QString path = folder + rec.remarkFile + QStringLiteral(".rtf");
            if (IsEmptyFile(path) && !ops.writeFile(path, remarkCodec.toRtf(rec.remarkText), false))
                ++unwritten;
        }
    }
    if (unwritten > 0) {
        message = QStringLiteral("有 %1 个案例的评语文件无法写入“%2”！")
                      .arg(unwritten)
                      .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}

bool MRecordBase::Backup(const QString &destFolder)
{
    CaseFileOps &ops = Ops();
    const QString dest = Slashed(destFolder);
    // A copy of a damaged file would take the place of a sound earlier backup.
    if (RefuseDamaged("无法复制db文件！"))
        return false;
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法复制db文件！");
        return false;
    }
    // A folder that holds a finished backup loses its marker before anything in it is overwritten, and gets it
    // again only once the new backup is whole: a backup stopped half-way never looks finished.
    const QString destCases = dest + Base() + QStringLiteral("_f/");
    const QString marker = BackupMark(dest);
    if (ops.exists(marker) && (!ops.remove(marker) || !ops.syncDir(destCases))) {
        message = Text("无法删除旧的备份标记文件！");
        return false;
    }
    RemoveBackupParts(ops, dest);
    // A copy that failed for want of room says where the disk is full.
    const auto failed = [&](const QString &text, const QString &file, int error, qint64 needed) {
        message = text;
        if (OutOfRoom(file, error, needed))
            message += u'\n' + DiskFullAt(QFileInfo(file).absolutePath()) + QStringLiteral("。");
        return false;
    };
    {
        // A read transaction keeps every writer out while the file is copied, so the copy is one consistent
        // state; reading first also rolls back what a program stopped while saving left in a journal.
        SqliteSession s;
        const bool locked = OpenSession(s) && s.exec("BEGIN") && s.exec("select count(*) from case_extra;");
        const QString live = QString::fromUtf8(utf8Path);
        errno = 0;
        if (!locked || (!ops.isDir(dest) && !ops.makeDir(dest)) || !ops.copyFile(live, dest + Base() + QStringLiteral(".db")))
            return failed(Text("无法复制db文件！"), dest + Base() + QStringLiteral(".db"), locked ? errno : 0,
                          locked ? QFileInfo(live).size() : 0);
    }
    // Put in the case file's place later, the copy must not be taken for the file it was copied from.
    errno = 0;
    if (!GiveFreshStamp(dest + Base() + QStringLiteral(".db")))
        return failed(Text("无法复制db文件！"), dest + Base() + QStringLiteral(".db"), errno, 1);
    if (!ops.isDir(destCases) && !ops.makeDir(destCases)) {
        message = Text("无法创建目的评语文件夹！");
        return false;
    }
    QStringList names;
    const QString folder = CaseFolder(appFolder);
    if (!ops.list(folder, names)) {
        message = Text("找不到评语文件、户型图文件！");
        return false;
    }
    int failures = 0;
    bool full = false;
    // A named pipe or a device under a case file's name holds no case and is not waited on: it is left out.
    for (const QString &n : names) {
        if (!IsCaseFileName(n) || !ops.isFile(folder + n))
            continue;
        errno = 0;
        if (!ops.copyFile(folder + n, destCases + n)) {
            ++failures;
            full = full || OutOfRoom(destCases + n, errno, QFileInfo(folder + n).size());
        }
    }
    if (failures > 0) {
        message = QStringLiteral("有 %1 个评语文件、户型图文件无法复制，备份不完整！").arg(failures);
        if (full)
            message += u'\n' + DiskFullAt(destCases.chopped(1)) + QStringLiteral("。");
        return false;
    }
    errno = 0;
    if (!ops.writeFile(marker, QByteArrayLiteral("save\r\n")))
        return failed(Text("无法写入备份标记文件！"), marker, errno, 1);
    return true;
}

void MRecordBase::ClearStoppedCopies(const QString &folder)
{
    CaseFileOps &ops = Ops();
    const QString f = Slashed(folder);
    ops.sweep(f); // an export's file that was being filled
    QDirIterator it(f, {Base() + QStringLiteral("_*")},
                    QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::CaseSensitive);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = it.fileName();
        const QString path = f + name;
        if (info.isSymLink())
            continue;
        if (!info.isDir()) {
            if (name.endsWith(QStringLiteral(".db.part")) || name.endsWith(QStringLiteral(".db.part-journal")))
                ops.remove(path);
            continue;
        }
        // A finished backup has nothing half-written (a backup made over it removes its marker first), and it
        // may hold many thousand files: it is not listed.
        if (!ops.exists(path + QLatin1Char('/') + Base() + QStringLiteral("_f/save.txt")))
            RemoveBackupParts(ops, path + QLatin1Char('/'));
    }
}

bool MRecordBase::Restore(const QString &srcFolder)
{
    CaseFileOps &ops = Ops();
    const QString src = Slashed(srcFolder);
    const QString srcDb = src + Base() + QStringLiteral(".db");
    const QString srcCases = src + Base() + QStringLiteral("_f/");
    if (!ops.isFile(srcDb)) { // a pipe under the name would be waited on
        message = Text("没有源db文件！");
        return false;
    }
    if (!ops.isDir(srcCases)) {
        message = Text("没有源评语文件夹！");
        return false;
    }
    if (RefuseDamaged("无法复制db文件！"))
        return false;
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法复制db文件！");
        return false;
    }
    if (!ReadOnlyDb(srcDb).isCaseFile(true)) {
        message = Text("备份的db文件已损坏或者不是案例数据库，无法还原！");
        return false;
    }
    QStringList names;
    if (!ops.list(srcCases, names)) {
        message = Text("找不到评语文件、户型图文件！");
        return false;
    }
    // The mark is written last: without it the backup stopped half-way (a full disk, the program ended), and
    // restoring it would put a part of the cases and their files in the place of all of them. Every backup that
    // finished has it; one copied over from a disk that ignores case may have it in capitals.
    if (!names.contains(QFileInfo(BackupMark(src)).fileName(), Qt::CaseInsensitive)) {
        message = QStringLiteral("不能从这个备份还原：它没有备份完成的标记“%1”。这个备份没有做完（可能是备份时磁盘满了或者"
                                 "软件被关闭了），里面的案例、评语文件或户型图可能不全。请选择一个完整的备份。")
                      .arg(QDir::toNativeSeparators(BackupMark(src)));
        return false;
    }
    const SwapPaths p(appFolder, path);
    if (const QString foreign = ForeignLinkedCaseFolder(ops, appFolder, p); !foreign.isEmpty()) {
        message = foreign;
        return false;
    }
    if (!FinishInterrupted(path)) {
        message = Text("无法清理上次未完成的操作留下的文件！");
        return false;
    }
    // Stage the backup beside the live data; nothing live is touched until it is complete.
    auto dropStaged = [&] {
        RemoveDbFile(ops, p.newDb);
        ops.removeFolder(p.newFolder);
    };
    // A staging that failed is undone; when it was for want of room, the message says where and how much the
    // backup needs (once the staged copies are gone, the room there is what the restore had).
    auto stagingFailed = [&](const char *text, const QString &file, int error) {
        dropStaged();
        message = Text(text);
        qint64 needed = QFileInfo(srcDb).size();
        for (const QString &n : names)
            if (IsCaseFileName(n))
                needed += QFileInfo(srcCases + n).size();
        if (OutOfRoom(file, error, needed))
            message += u'\n' + DiskFullAt(QFileInfo(file).absolutePath()) +
                       QStringLiteral("，放不下要还原的案例数据（需要约 %1）。原有案例数据没有改变。").arg(SizeText(needed));
        return false;
    };
    errno = 0;
    if (!ops.makeDir(p.newFolder))
        return stagingFailed("无法复制db文件！", p.newFolder, errno);
    errno = 0;
    if (!ops.copyFile(srcDb, p.newDb))
        return stagingFailed("无法复制db文件！", p.newDb, errno);
    for (const QString &n : names) {
        errno = 0;
        if (IsCaseFileName(n) && ops.isFile(srcCases + n) && !ops.copyFile(srcCases + n, p.newFolder + n))
            return stagingFailed("无法复制评语文件、户型图文件！", p.newFolder + n, errno);
    }
    // The restored file is a file of its own: no program that still has the replaced file or the backup open
    // takes it for theirs.
    errno = 0;
    if (!GiveFreshStamp(p.newDb))
        return stagingFailed("无法复制db文件！", p.newDb, errno);
    errno = 0;
    if (!EnsureRemarkFilesIn(p.newDb.toUtf8(), p.newFolder) || !ops.syncDir(p.newFolder))
        return stagingFailed("无法复制评语文件、户型图文件！", p.newFolder, errno);
    if (!SettleJournal()) {
        dropStaged();
        return false;
    }
    CaseFileHold hold;
    if (ops.exists(p.db) && !hold.take(utf8Path)) {
        dropStaged();
        message = Text("无法复制db文件！");
        return false;
    }
    // From the marker on, the swap is finished at the next start if the program stops.
    errno = 0;
    if (!ops.writeFile(p.marker, QByteArrayLiteral("restore")))
        return stagingFailed("无法复制db文件！", p.marker, errno);
    const bool hadDb = ops.exists(p.db);
    const bool hadFolder = ops.isDir(p.folder);
    int done = 0; // the renames made, for going back
    const bool ok = (!hadDb || ops.rename(p.db, p.oldDb)) && ++done &&
                    (!hadFolder || ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1))) && ++done &&
                    ops.rename(p.newDb, p.db) && ++done &&
                    ops.rename(p.newFolder.chopped(1), p.folder.chopped(1)) && ++done &&
                    ops.syncDir(p.dbFolder()) && ops.syncDir(p.folderParent()) && ops.remove(p.marker);
    if (!ok) {
        // Put everything back in the reverse order; when that fails too, the marker finishes the swap later.
        bool back = true;
        if (done >= 4)
            back = ops.rename(p.folder.chopped(1), p.newFolder.chopped(1));
        if (back && done >= 3)
            back = ops.rename(p.db, p.newDb);
        if (back && done >= 2 && hadFolder)
            back = ops.rename(p.oldFolder.chopped(1), p.folder.chopped(1));
        if (back && done >= 1 && hadDb)
            back = ops.rename(p.oldDb, p.db);
        if (back && ops.remove(p.marker)) {
            dropStaged();
            message = Text("无法替换案例数据，原有数据没有改变！");
            return false;
        }
        // Could not go back: go forward, so the backup is live and complete.
        if (!FinishInterrupted(path)) {
            message = Text("还原没有完成，请重新打开软件！");
            return false;
        }
    }
    hold.release();
    TakeFileIdentity(); // the restored file is the one opened now
    // The swap is done; the old copies are only clutter now (the next start removes what stays).
    RemoveDbFile(ops, p.oldDb);
    ops.removeFolder(p.oldFolder);
    return true;
}

// A journal that a save stopped half-way left beside the case file is rolled back now (a read does that), so it
// can never meet a file that takes the case file's name.
bool MRecordBase::SettleJournal()
{
    SqliteSession s;
    if (OpenSession(s) && s.exec("select count(*) from case_extra;"))
        return true;
    message = s.errorText();
    return false;
}

bool MRecordBase::DeleteAll()
{
    CaseFileOps &ops = Ops();
    if (RefuseDamaged(kErrDelete))
        return false;
    if (InBatch() || path.isEmpty()) {
        message = Text(kErrDelete);
        return false;
    }
    const SwapPaths p(appFolder, path);
    if (const QString foreign = ForeignLinkedCaseFolder(ops, appFolder, p); !foreign.isEmpty()) {
        message = foreign;
        return false;
    }
    if (!FinishInterrupted(path) || !SettleJournal() || !ops.writeFile(p.marker, QByteArrayLiteral("delete"))) {
        message = Text(kErrDelete);
        return false;
    }
    const bool hadDb = ops.exists(p.db);
    const bool hadFolder = ops.isDir(p.folder);
    int done = 0; // the renames made, for going back
    const bool ok = (!hadDb || ops.rename(p.db, p.oldDb)) && ++done &&
                    (!hadFolder || ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1))) && ++done &&
                    ops.makeDir(p.folder) && ops.syncDir(p.folderParent()) && ops.remove(p.marker);
    if (!ok) {
        bool back = true;
        if (done >= 2 && hadFolder)
            back = ops.removeDir(p.folder) && ops.rename(p.oldFolder.chopped(1), p.folder.chopped(1));
        if (back && done >= 1 && hadDb)
            back = ops.rename(p.oldDb, p.db);
        if (back && ops.remove(p.marker)) {
            message = Text(kErrDelete);
            return false;
        }
        if (!FinishInterrupted(path)) {
            message = Text("删除没有完成，请重新打开软件！");
            return false;
        }
    }
    RemoveDbFile(ops, p.oldDb);
    ops.removeFolder(p.oldFolder);
    return true;
}

