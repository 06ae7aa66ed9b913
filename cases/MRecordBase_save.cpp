// Saving one case with its files, so that the row and the files it names never disagree.
//
// The new files are written under a name no file has yet, the row that names them is committed, and only then
// are the files of the old name removed. The commit is the one step that switches the case from old to new. A
// journal beside the case file lists the files of both sides from before the first write until the last old
// file is gone; a program stopped in between leaves it, and the next start keeps the side its row names.
#include "MRecordBase_whole.h"

#include "CaseFileHealth.h"
#include "FileRead.h"
#include "FileWrite.h"

#include <QJsonObject>

#include <cerrno>

using namespace wholedb;

namespace {

const QString kRtf = QStringLiteral(".rtf");
const QString kBmp = QStringLiteral(".bmp");
const char *const kNoSuchCase = "案例文件里已经没有这个案例了。";
const char *const kNamedBy = "select count(*) from case_data where remarkFile=?;";

// A step that a test's file double refused reads as an input/output error of the disk.
FileWriteResult Write(CaseFileOps &ops, const char *step, const QString &path, const QByteArray &bytes)
{
    if (!ops.checkpoint(step))
        return {FileWriteError::Write, qt_error_string(EIO)};
    return WriteWholeFile(path, bytes);
}

// What the journal holds: the new name, and the old name with the extensions of its files that the new case
// replaces.
struct SaveJournal {
    QString newName;
    QString oldName;
    QStringList oldFiles; // ".rtf", ".bmp"

    QByteArray toJson() const
    {
        return QJsonDocument(QJsonObject{{QStringLiteral("new"), newName},
                                         {QStringLiteral("old"), oldName},
                                         {QStringLiteral("oldFiles"), QJsonArray::fromStringList(oldFiles)}})
            .toJson(QJsonDocument::Compact);
    }

    // False for anything but a journal of valid names: such a file says nothing that may be acted on.
    bool fromJson(const QByteArray &bytes)
    {
        const QJsonObject o = QJsonDocument::fromJson(bytes).object();
        newName = o.value(QStringLiteral("new")).toString();
        oldName = o.value(QStringLiteral("old")).toString();
        oldFiles.clear();
        for (const QJsonValue &v : o.value(QStringLiteral("oldFiles")).toArray())
            if (v.toString() == kRtf || v.toString() == kBmp)
                oldFiles << v.toString();
        return IsValidRemarkFile(newName) && (oldName.isEmpty() || IsValidRemarkFile(oldName));
    }
};

// Writes the new case's files; a plan that is kept is linked (or copied) from carryFrom. The reason of a
// failure, else empty.
QString WriteNewFiles(CaseFileOps &ops, const MRecordBase::TCaseFiles &files, const QString &rtf, const QString &bmp,
                      const QString &carryFrom)
{
    if (FileWriteResult w = Write(ops, "save-comments", rtf, files.comments); !w.ok())
        return FileWriteText(rtf, w);
    if (files.plan) {
        const FileWriteResult w = Write(ops, "save-plan", bmp, *files.plan);
        return w.ok() ? QString() : FileWriteText(bmp, w);
    }
    if (!carryFrom.isEmpty() && !ops.link(carryFrom, bmp) && !ops.copyFile(carryFrom, bmp))
        return QStringLiteral("无法复制户型图文件“%1”").arg(QDir::toNativeSeparators(carryFrom));
    return {};
}

} // namespace

QString MRecordBase::SaveJournalPath() const { return QString::fromUtf8(utf8Path) + QStringLiteral(".casesave"); }

bool MRecordBase::RowNamesFile(SqliteSession &s, const QString &remarkFile, bool &named)
{
    SqlQuery q(s, kNamedBy);
    q.bind(1, remarkFile);
    if (q.step() != SQLITE_ROW)
        return false;
    named = q.text(0).toInt() > 0;
    return true;
}

bool MRecordBase::FinishStoppedSave()
{
    CaseFileOps &ops = Ops();
    const QString journal = SaveJournalPath();
    if (utf8Path.isEmpty() || !ops.exists(journal))
        return true;
    if (!SettleQuickCheck()) // rows lost to damage would make a save's files look unnamed
        return false;
    QFile f;
    SaveJournal j;
    if (OpenRegularFile(f, journal) && j.fromJson(f.read(64 * 1024))) {
        SqliteSession s;
        bool committed = false, oldNamed = true;
        if (!OpenSession(s) || !RowNamesFile(s, j.newName, committed) ||
            (!j.oldName.isEmpty() && !RowNamesFile(s, j.oldName, oldNamed)))
            return false; // the case file cannot say which side won: nothing is removed yet
        const QString folder = CaseFolder(appFolder);
        bool removed = true;
        if (committed) {
            if (!oldNamed && j.oldName != j.newName)
                for (const QString &ext : std::as_const(j.oldFiles))
                    removed = ops.remove(folder + j.oldName + ext) && removed;
        } else {
            for (const QString &ext : {kRtf, kBmp})
                removed = ops.remove(folder + j.newName + ext) && removed;
        }
        if (!removed)
            return false;
    }
    f.close();
    return ops.remove(journal);
}

// Row id as stored, when it still holds the case the caller opened. False with the reason otherwise.
bool MRecordBase::StoredCase(SqliteSession &s, int id, const TRecordData &opened, TRecordData &stored, QString &reason)
{
    switch (Load(s, id, stored)) {
    case TLoadResult::Loaded:
        if (CaseKeyOf(stored) == CaseKeyOf(opened))
            return true;
        reason = ReplacedCaseFileText(QString::fromUtf8(utf8Path));
        return false;
    case TLoadResult::NoSuchCase:
        reason = Text(kNoSuchCase);
        return false;
    case TLoadResult::Failed:
        break;
    }
    busy = s.sawBusy();
    reason = Reason(s);
    return false;
}

// The old files of a save are those the stored row names, whatever the caller holds: empty for a new case or a
// name that would leave the case folder. False, with the reason, when the row cannot be read or holds another
// case than the one opened.
bool MRecordBase::StoredRemarkFile(int id, const TRecordData &opened, QString &name, QString &reason)
{
    name.clear();
    if (id <= 0)
        return true;
    SqliteSession s;
    if (!OpenSession(s)) {
        reason = Text(kErrOpen);
        return false;
    }
    TRecordData stored;
    if (!StoredCase(s, id, opened, stored, reason))
        return false;
    if (IsValidRemarkFile(stored.remarkFile))
        name = stored.remarkFile;
    return true;
}

// The row step of SaveCase: the commit that makes the case the new one. False with the reason: the store's, or
// that the row no longer holds the case opened.
bool MRecordBase::SaveRow(int id, TRecordData &saved, const TRecordData &opened, QString &reason)
{
    SqliteSession s;
    if (!Ops().checkpoint("save-row")) {
        reason = qt_error_string(EIO);
        return false;
    }
    if (!OpenSession(s)) {
        reason = Text(kErrOpen);
        return false;
    }
    bool ok = false;
    if (id > 0) {
        // The row is looked at and rewritten under the write lock: nothing can put another case under the id
        // in between. (A file renamed over this one meanwhile is refused by the store: it has moved.)
        TRecordData stored;
        ok = s.exec("BEGIN IMMEDIATE") && !FileReplaced() && StoredCase(s, id, opened, stored, reason) &&
             Update(s, id, saved) && s.exec("COMMIT");
        if (!ok && reason.isEmpty() && FileReplaced())
            reason = ReplacedCaseFileText(QString::fromUtf8(utf8Path));
    } else {
        ok = Insert(s, saved, false) > 0;
    }
    if (ok)
        return true;
    if (reason.isEmpty()) {
        busy = s.sawBusy();
        reason = s.failureCode() != 0 ? Reason(s) : message;
    }
    return false;
}

bool MRecordBase::SaveCase(int id, TRecordData &rec, const TCaseFiles &files, const TRecordData *opened)
{
    CaseFileOps &ops = Ops();
    const QString head = Text(id > 0 ? kErrUpdate : kErrInsert);
    const auto fail = [&](const QString &reason) {
        message = head + QLatin1Char('\n') + reason;
        return false;
    };
    busy = false;
    if (InBatch() || utf8Path.isEmpty())
        return fail(Text(kErrOpen));
    if (FileReplaced())
        return fail(ReplacedCaseFileText(QString::fromUtf8(utf8Path)));
    // Waits for the quick check of a file opened without it: the check's read would keep the commit waiting.
    if (!SettleQuickCheck())
        return fail(damage);
    if (!FinishStoppedSave())
        return fail(QStringLiteral("上次没有完成的保存还不能清理（%1）").arg(QDir::toNativeSeparators(SaveJournalPath())));

    const QString folder = CaseFolder(appFolder);
    SaveJournal j;
    if (QString reason; !StoredRemarkFile(id, opened ? *opened : rec, j.oldName, reason))
        return fail(reason);
    j.newName = FirstFreeRemarkName(
        rec, [&](const QString &n) { return n == j.oldName || RemarkNameTaken(appFolder, n); });
    const QString oldPlan = j.oldName.isEmpty() ? QString() : folder + j.oldName + kBmp;
    // A plan file the window could not read is kept with the case rather than dropped; a named pipe or the like
    // is no plan and stays where it is.
    const bool carryPlan = !files.plan && !oldPlan.isEmpty() && ops.isFile(oldPlan);
    if (!j.oldName.isEmpty())
        j.oldFiles = files.plan || carryPlan ? QStringList{kRtf, kBmp} : QStringList{kRtf};
    const QString newRtf = folder + j.newName + kRtf, newBmp = folder + j.newName + kBmp;
    const QString journal = SaveJournalPath();

    if (!ops.isDir(folder) && !ops.makeDir(folder))
        return fail(QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(folder)));
    if (FileWriteResult w = Write(ops, "save-journal", journal, j.toJson()); !w.ok())
        return fail(FileWriteText(journal, w));
    QString reason = WriteNewFiles(ops, files, newRtf, newBmp, carryPlan ? oldPlan : QString());
    TRecordData saved = rec;
    saved.remarkFile = j.newName;
    if (!reason.isEmpty() || !SaveRow(id, saved, opened ? *opened : rec, reason)) {
        // Until the row names them, the new files are no case's: they go, and so does the journal.
        if (ops.remove(newRtf) && ops.remove(newBmp))
            ops.remove(journal);
        return fail(reason);
    }

    // The case is the new one now; what is left of the old one is only clutter, which the journal still lists
    // if it cannot go.
    bool removed = true;
    if (!j.oldName.isEmpty())
        for (const QString &ext : std::as_const(j.oldFiles))
            removed = ops.remove(folder + j.oldName + ext) && removed;
    if (removed)
        ops.remove(journal);
    rec = saved;
    return true;
}
