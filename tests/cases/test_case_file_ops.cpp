// The file steps of the case library on a disk with links and on one without (a USB stick's FAT or exFAT): a new
// name is taken only while it is free, so no step ever replaces a file that is there, and none leaves a
// temporary behind.
#include "CaseTestSupport.h"
#include "TempFiles.h"

#include <QTemporaryDir>

#include <cerrno>
#include <functional>

namespace {

// Renaming to a free name is there, but no second names (a FAT stick through the kernel's driver).
struct RenameOnlyOps : CaseFileOps {
    int hardLink(const QByteArray &, const QByteArray &) override { return EPERM; }
};

TEST(CaseFileOps, NewNamesAreTakenOnlyWhileFreeOnEveryKindOfDisk)
{
    NoLinkOps noLinks;
    RenameOnlyOps renameOnly;
    const struct {
        const char *disk;
        CaseFileOps *ops;
    } disks[] = {{"links", &CaseFileOps::standard()}, {"no links", &noLinks}, {"rename only", &renameOnly}};
    using Step = std::function<bool(CaseFileOps &, const QString &src, const QString &dst)>;
    const struct {
        const char *what;
        Step run;
        bool srcStays; // the source keeps its name after success
    } steps[] = {
        {"create", [](CaseFileOps &o, const QString &, const QString &d) { return o.createFile(d, "new"); }, true},
        {"second name", [](CaseFileOps &o, const QString &s, const QString &d) { return o.link(s, d); }, true},
        {"rename to a free name", [](CaseFileOps &o, const QString &s, const QString &d) { return o.renameToFree(s, d); },
         false},
    };
    for (const auto &disk : disks) {
        for (const auto &step : steps) {
            for (const bool taken : {false, true}) {
                SCOPED_TRACE(std::string(disk.disk) + ", " + step.what + (taken ? ", name taken" : ", name free"));
                QTemporaryDir dir;
                const QString src = dir.filePath("src.rtf"), dst = dir.filePath("dst.rtf");
                WriteBytes(src, "new");
                if (taken)
                    WriteBytes(dst, "someone's");
                EXPECT_EQ(step.run(*disk.ops, src, dst), !taken);
                EXPECT_EQ(ReadBytes(dst), taken ? "someone's" : "new");
                EXPECT_EQ(QFile::exists(src), taken || step.srcStays);
                for (const QString &n : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
                    EXPECT_FALSE(IsTemporaryName(n)) << n.toStdString();
            }
        }
    }
}

} // namespace
