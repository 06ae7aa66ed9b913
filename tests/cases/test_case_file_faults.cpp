// The case file under real faults: a full disk (a file-size limit in a child process), several programs on one
// file, a file that can only be read, and programs killed while saving.
#include "CaseFileOps.h"
#include "MRecordBase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <csignal>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Readable failure messages for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TRecordData Case(const QString &name, int remarkBytes = 0)
{
    TRecordData r;
    r.name = name;
    r.className = QStringLiteral("私人别墅");
    r.date = {1975, 3, 4, 10, 20};
    r.buildYear = 1999;
    r.remarkFile = name + QStringLiteral("_197503041020");
    r.remarkText = remarkBytes > 0 ? QString(remarkBytes, QLatin1Char('x')) : QStringLiteral("评语");
    return r;
}

// A running child process whose output comes back through a pipe.
struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Runs body in a forked child, which writes its answer to the pipe (body may also write to it as it goes) and
// ends without running the parent's clean-up. With a gate (a pipe), the child first waits until the parent
// closes its writing end.
Child Spawn(const std::function<std::string(int out)> &body, const int *gate = nullptr)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (gate) {
            close(gate[1]);
            char c;
            while (read(gate[0], &c, 1) > 0) {
            }
        }
        const std::string answer = body(fds[1]);
        if (write(fds[1], answer.data(), answer.size()) < 0)
            _exit(2);
        _exit(0);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

// Everything the child wrote, once it has ended.
std::string Collect(Child c)
{
    std::string all;
    char buf[4096];
    ssize_t n;
    while ((n = read(c.out, buf, sizeof buf)) > 0)
        all.append(buf, size_t(n));
    close(c.out);
    int status = 0;
    waitpid(c.pid, &status, 0);
    return all;
}

std::string RunInChild(const std::function<std::string(int)> &body) { return Collect(Spawn(body)); }

int CountRows(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    int n = -1;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

class CaseFileFaults : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/"; }
    QString dbPath() const { return MRecordBase::DefaultPath(folder()); }

    void MakeFileWithOneCase()
    {
        MRecordBase db(folder());
        ASSERT_EQ(db.Open(dbPath()), 0);
        TRecordData r = Case("甲");
        ASSERT_EQ(db.InsertCase(r), 1);
    }
};

// The disk fills up inside a batch (the rows are big, so the store writes to the file before the commit) or at
// its commit (small rows). Either way the batch reports failure, none of it is stored, every operation after
// the failure fails, and the next save takes the next free id.
TEST_F(CaseFileFaults, BatchMeetingAFullDiskStoresNothingAndSpendsNoId)
{
    struct Row {
        const char *what;
        const char *expected;
        int remarkBytes;
        int inserts;
        qint64 roomBytes; // how far the file may grow beyond its size
    };
    const Row rows[] = {
        {"disk full during the inserts", "2 3 4 5 6 7 -1 -1 -1 -1 | committed 0, counter 1, next id 2",
         450 * 1024, 10, 1024 * 1024},
        {"disk full at the commit", "2 3 4 5 6 7 8 9 10 11 | committed 0, counter 1, next id 2", 4000, 10, 16384},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(dbPath());
        MakeFileWithOneCase();
        const qint64 size = QFileInfo(dbPath()).size();
        const std::string answer = RunInChild([&](int) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit lim{};
            getrlimit(RLIMIT_FSIZE, &lim);
            const rlim_t unlimited = lim.rlim_cur;
            MRecordBase db(folder());
            if (db.Open(dbPath()) != 0)
                return std::string("open failed");
            lim.rlim_cur = rlim_t(size + row.roomBytes);
            setrlimit(RLIMIT_FSIZE, &lim);
            std::string ids;
            MRecordBase::Batch batch(db);
            for (int i = 0; i < row.inserts; ++i) {
                TRecordData r = Case(QString::number(i), row.remarkBytes);
                ids += std::to_string(db.InsertCaseBatch(r)) + " ";
            }
            std::string answer = ids + "| committed " + std::to_string(batch.commit());
            answer += ", counter " + std::to_string(db.GetPrimaryId());
            lim.rlim_cur = unlimited;
            setrlimit(RLIMIT_FSIZE, &lim);
            TRecordData next = Case("乙");
            return answer + ", next id " + std::to_string(db.InsertCase(next));
        });
        EXPECT_EQ(answer, row.expected);
        EXPECT_EQ(CountRows(dbPath(), "select count(*) from case_data"), 2);
        EXPECT_EQ(CountRows(dbPath(), "select primaryId from case_extra"), 2);
    }
}

// Two programs save into one file at the same time: every save lands, each under its own id.
TEST_F(CaseFileFaults, TwoProgramsSavingIntoOneFileKeepEveryCase)
{
    MakeFileWithOneCase();
    auto saver = [&](int) {
        MRecordBase db(folder());
        if (db.Open(dbPath()) != 0)
            return std::string("open failed");
        std::string ids;
        for (int i = 0; i < 50; ++i) {
            TRecordData r = Case(QString::number(i));
            ids += std::to_string(db.InsertCase(r)) + " ";
        }
        return ids;
    };
    Child a = Spawn(saver);
    Child b = Spawn(saver);
    std::set<int> ids{1};
    for (const std::string &out : {Collect(a), Collect(b)}) {
        std::istringstream in(out);
        int id;
        while (in >> id) {
            EXPECT_GT(id, 0) << out;
            EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
        }
    }
    EXPECT_EQ(ids.size(), 101u);
    EXPECT_EQ(CountRows(dbPath(), "select count(*) from case_data"), 101);
    EXPECT_EQ(CountRows(dbPath(), "select primaryId from case_extra"), 101);
}

// Twenty programs open one new file at the same moment: all of them succeed, and the file holds one marker row.
TEST_F(CaseFileFaults, ProgramsOpeningOneNewFileAtOnceAllSucceed)
{
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<Child> children;
    for (int i = 0; i < 20; ++i) {
        children.push_back(Spawn(
            [&](int) {
                MRecordBase db(folder());
                return db.Open(dbPath()) == 0 ? std::string("ok") : db.Message().toStdString();
            },
            gate));
    }
    close(gate[0]);
    close(gate[1]); // every child starts now
    for (Child &c : children)
        EXPECT_EQ(Collect(c), "ok");
    EXPECT_EQ(CountRows(dbPath(), "select count(*) from case_extra"), 1);
}

// A file that can only be read, whose counter is behind its rows, opens for reading; saving into it fails.
TEST_F(CaseFileFaults, ReadOnlyFileWithStaleCounterOpensForReading)
{
    {
        MRecordBase db(folder());
        ASSERT_EQ(db.Open(dbPath()), 0);
        for (const char *name : {"甲", "乙", "丙"}) {
            TRecordData r = Case(QString::fromUtf8(name));
            ASSERT_GT(db.InsertCase(r), 0);
        }
    }
    sqlite3 *raw = nullptr;
    sqlite3_open(dbPath().toUtf8().constData(), &raw);
    sqlite3_exec(raw, "update case_extra set primaryId=1", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    chmod(dir.path().toUtf8().constData(), 0755);
    chmod((folder() + "dat").toUtf8().constData(), 0555);
    chmod(dbPath().toUtf8().constData(), 0444);
    const std::string answer = RunInChild([&](int) {
        // The superuser writes whatever the permissions say: the child gives that right up first.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return std::string("cannot drop rights");
        MRecordBase db(folder());
        std::string answer = "open " + std::to_string(db.Open(dbPath())) + " " + db.Message().toStdString();
        answer += ", counter " + std::to_string(db.GetPrimaryId());
        TRecordData r;
        const bool loaded = db.LoadCase(3, r);
        TRecordData fresh = Case("丁");
        answer += std::string(", case 3 ") + (loaded ? r.name.toStdString() : "-");
        return answer + ", save " + std::to_string(db.InsertCase(fresh));
    });
    chmod((folder() + "dat").toUtf8().constData(), 0755);
    EXPECT_EQ(answer, "open 0 , counter 3, case 3 丙, save -1");
}

// A failed open leaves the object on the file it had: its counter, its path and its saves.
TEST_F(CaseFileFaults, FailedOpenLeavesTheObjectAsItWas)
{
    MakeFileWithOneCase();
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    QFile junk(folder() + "junk.db");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'j'));
    junk.close();
    const QString bad[] = {folder() + "junk.db", folder(), QString()};
    for (const QString &path : bad) {
        EXPECT_EQ(db.Open(path), -1) << path.toStdString();
        EXPECT_EQ(db.GetPrimaryId(), 1);
        EXPECT_EQ(db.Path(), dbPath());
    }
    TRecordData r = Case("乙");
    EXPECT_EQ(db.InsertCase(r), 2);
    EXPECT_EQ(CountRows(dbPath(), "select count(*) from case_data"), 2);
}

// A program killed at random moments while saving: every case whose save it reported is in the file, and no
// id was reported twice.
TEST_F(CaseFileFaults, SavesReportedBeforeAKillAreAllKept)
{
    MakeFileWithOneCase();
    std::random_device seedSource;
    const unsigned seed = seedSource();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pause(5, 80);
    std::multiset<int> reported;
    for (int round = 0; round < 20; ++round) {
        Child c = Spawn([&](int out) {
            MRecordBase db(folder());
            if (db.Open(dbPath()) != 0)
                return std::string();
            for (int i = 0;; ++i) {
                TRecordData r = Case(QString::number(i));
                const int id = db.InsertCase(r);
                if (id > 0) {
                    const std::string line = std::to_string(id) + "\n";
                    if (write(out, line.data(), line.size()) < 0)
                        _exit(1);
                }
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
        kill(c.pid, SIGKILL);
        std::istringstream in(Collect(c));
        int id;
        while (in >> id)
            reported.insert(id);
    }
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0) << db.Message().toStdString();
    RecordProperty("saves_reported", int(reported.size()));
    RecordProperty("highest_id", db.GetPrimaryId());
    ASSERT_FALSE(reported.empty());
    for (int id : reported) {
        EXPECT_EQ(reported.count(id), 1u) << "id " << id << " reported twice";
        TRecordData r;
        EXPECT_TRUE(db.LoadCase(id, r)) << "case " << id << " lost";
    }
    EXPECT_GE(db.GetPrimaryId(), *reported.rbegin());
}

// Another program saves at the moment compaction or restore renames files over the case file. It waits for the
// operation's hold on the file and then either fails, saying so, or saves into the file that is in place: a save
// it reports is never lost with the file that was replaced.
TEST_F(CaseFileFaults, ASaveWhileCompactionOrRestoreRenamesIsNeverLost)
{
    struct SaveAtFirstRename : CaseFileOps {
        std::function<void()> save;
        bool step(const char *what) override
        {
            if (save && std::strcmp(what, "rename") == 0)
                std::exchange(save, nullptr)();
            return true;
        }
    };
    struct Row {
        const char *what;
        std::function<bool(MRecordBase &)> run;
    };
    const Row rows[] = {
        {"compaction", [](MRecordBase &db) { return db.Compact() > 0; }},
        {"restore", [this](MRecordBase &db) { return db.Restore(folder() + "backup/"); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(dbPath());
        MakeFileWithOneCase();
        MRecordBase db(folder());
        ASSERT_EQ(db.Open(dbPath()), 0);
        QDir().mkpath(folder() + "Quorin_f");
        ASSERT_TRUE(db.Backup(folder() + "backup/")) << db.Message().toStdString();
        // The other program has the file open before the operation begins, and saves when it renames.
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        Child other = Spawn([&](int out) {
            close(gate[1]);
            MRecordBase second(folder());
            const bool opened = second.Open(dbPath()) == 0;
            if (write(out, "o", 1) != 1)
                _exit(2);
            char c;
            while (read(gate[0], &c, 1) > 0) {
            }
            TRecordData r = Case("乙");
            return opened ? std::to_string(second.InsertCase(r)) : std::string("no open");
        });
        close(gate[0]);
        char c = 0;
        ASSERT_EQ(read(other.out, &c, 1), 1);
        SaveAtFirstRename ops;
        std::string reply;
        ops.save = [&] {
            close(gate[1]);
            reply = Collect(other);
        };
        db.SetFileOps(&ops);
        ASSERT_TRUE(row.run(db)) << db.Message().toStdString();
        ASSERT_FALSE(reply.empty());
        const int saved = std::stoi(reply);
        EXPECT_EQ(CountRows(dbPath(), "select count(*) from case_data where name='乙'"), saved > 0 ? 1 : 0)
            << "the save said " << reply;
    }
}

} // namespace
