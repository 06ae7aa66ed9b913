// The migration of the old flat case file (dat/Quorin.dat) into the case file, once, and the name cleaning it
// shares with import.
#include "MRecordBase_whole.h"

#include "CleanName.h"
#include "MDataBase.h"

#include <QCryptographicHash>

using namespace wholedb;

bool MRecordBase::SanitizeText(QString &text, int maxChars) { return CleanText(text, maxChars); }

bool MRecordBase::SanitizeRecord(TRecordData &rec)
{
    // An empty address stays empty: only a name needs a text to build file names from.
    if (!rec.address.isEmpty())
        SanitizeText(rec.address, kMaxAddressChars);
    SanitizeText(rec.className, kMaxNameChars);
    return SanitizeText(rec.name, kMaxNameChars);
}

bool MRecordBase::EraseOldClasses()
{
    CaseFileOps &ops = Ops();
    const QString ini = appFolder + QStringLiteral("dat/kqinit.ini");
    QFile f(ini);
    if (!ops.exists(ini))
        return true;
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    f.close();
    // Line by line on the bytes: the rest of the file, in whatever code page and line ending, stays as it is.
    QByteArray out;
    out.reserve(bytes.size());
    bool inClasses = false, found = false;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(pos, end - pos);
        const QByteArray t = line.trimmed();
        if (t.startsWith('['))
            inClasses = t.toLower() == "[classes]";
        found = found || inClasses;
        if (!inClasses)
            out += line;
        pos = end;
    }
    return !found || ops.writeFile(ini, out);
}

int MRecordBase::ConvertOldData()
{
    CaseFileOps &ops = Ops();
    MDataBase old;
    old.Prepare(appFolder);
    oldFileKept = false;
    if (!ops.exists(old.FilePath()) || !SettleQuickCheck())
        return 0;
    // Every failure keeps the old file for the next start and says so.
    auto keepOldFile = [&] {
        oldFileKept = true;
        message = Text("旧版数据库转换失败，已保留旧文件，下次启动时再试！");
        return 0;
    };
    QByteArray fileHash;
    {
        QFile f(old.FilePath());
        if (!f.open(QIODevice::ReadOnly) || !old.OpenRead())
            return keepOldFile();
        fileHash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }
    const QString folder = CaseFolder(appFolder);
    // The plan, made before anything is written: the cases, and the comment and floor-plan files that follow a
    // cleaned name to its new comment-file name.
    struct Move {
        QString from, to;
    };
    std::vector<TRecordData> cases;
    std::vector<Move> moves;
    QStringList classes;
    const QSet<QString> present = FilesIn(ops, folder);
    QSet<QString> taken = TakenNames(present), kept;
    // Every name a live record holds is taken before any fresh name is chosen, files or not.
    for (int i = 0; i < old.CountRecords(); ++i) {
        char buf[kOldRecordSize];
        if (old.ReadRecord(i, buf)) {
            const QString name = MDataBase::ToRecord(buf).remarkFile;
            if (IsValidRemarkFile(name))
                taken.insert(name);
        }
    }
    for (int i = 0; i < old.CountRecords(); ++i) {
        char buf[kOldRecordSize];
        if (!old.ReadRecord(i, buf))
            continue;
        TRecordData rec = MDataBase::ToRecord(buf);
        const QString oldFile = rec.remarkFile;
        const bool validOld = IsValidRemarkFile(oldFile);
        // The comment is read under the old name, before cleaning can change the name.
        QString text;
        if (validOld && remarkCodec.readText && present.contains(oldFile + QStringLiteral(".rtf")) &&
            remarkCodec.readText(folder + oldFile + QStringLiteral(".rtf"), text))
            rec.remarkText = StoredText(text);
        else
            rec.remarkText = Text(kRemarkPlaceholder);
        const bool renamed = SanitizeRecord(rec);
        // A name kept by an earlier record of the file is given to this one only once.
        if (renamed || !validOld || kept.contains(oldFile)) {
            rec.remarkFile = FreshName(taken, rec);
            if (validOld)
                for (const char *ext : {".rtf", ".bmp"})
                    if (present.contains(oldFile + QLatin1String(ext)))
                        moves.push_back({folder + oldFile + QLatin1String(ext), folder + rec.remarkFile + QLatin1String(ext)});
        } else {
            kept.insert(oldFile);
        }
        const QString c = CategoryOf(rec);
        if (!c.isEmpty() && !classes.contains(c))
            classes << c;
        cases.push_back(std::move(rec));
    }
    old.Close();

    SqliteSession s;
    if (!OpenSession(s) || !s.exec("BEGIN IMMEDIATE") ||
        !s.exec("create table if not exists old_case_file(hash text primary key);")) {
        return keepOldFile();
    }
    bool already = false;
    {
        SqlQuery q(s, "select 1 from old_case_file where hash=?;");
        q.bind(1, QString::fromLatin1(fileHash));
        already = q.step() == SQLITE_ROW;
    }
    int migrated = 0;
    std::vector<Move> linked;
    if (!already) {
        // The files get their new names beside the old ones first; the old names go only after the commit.
        auto undoLinks = [&] {
            for (const Move &m : linked)
                ops.remove(m.to);
        };
        for (const Move &m : moves) {
            if (!ops.link(m.from, m.to)) {
                undoLinks();
                return keepOldFile();
            }
            linked.push_back(m);
        }
        qint64 last = LastId(s);
        static const std::string insertSql = InsertWithIdSql();
        bool ok = last >= 0;
        for (TRecordData &rec : cases) {
            if (!ok)
                break;
            rec.id = int(++last);
            SqlQuery q(s, insertSql.c_str());
            ok = InsertRecord(q, rec) && ops.checkpoint("insert");
        }
        // The old file's categories in order of first appearance, then the stored ones and the defaults.
        QStringList stored;
        {
            SqlQuery q(s, "select className from case_extra;");
            if (q.step() == SQLITE_ROW)
                SplitValue(q.text(0), stored);
        }
        for (const QString &c : stored + DefaultClasses())
            if (!classes.contains(c))
                classes << c;
        SqlQuery extra(s, "update case_extra set primaryId=?, className=?;");
        extra.bind(1, last);
        extra.bind(2, classes.join(QLatin1Char(kValueSeparator)));
        SqlQuery mark(s, "insert into old_case_file(hash) values (?);");
        mark.bind(1, QString::fromLatin1(fileHash));
        ok = ok && extra.run() && s.changes() >= 1 && mark.run() && ops.checkpoint("commit") && s.exec("COMMIT");
        if (!ok) {
            s.exec("ROLLBACK");
            undoLinks();
            return keepOldFile();
        }
        primaryId = int(last);
        migrated = int(cases.size());
    } else if (!s.exec("COMMIT")) {
        return keepOldFile();
    }
    s.close();
    for (const Move &m : linked)
        ops.remove(m.from);
    // The old file goes last, and only when everything after the commit went well; the mark in the case file
    // keeps a second start from migrating it again.
    if (!EraseOldClasses() || !EnsureRemarkFiles() || !ops.remove(old.FilePath())) {
        // The cases are in; only the tidying up is left for the next start.
        if (migrated == 0)
            return keepOldFile();
        oldFileKept = true;
    }
    if (migrated == 0)
        return 0;
    message = QStringLiteral("已经把旧版数据库转换到新版，共转换 %1 个案例！").arg(migrated);
    return 1;
}
