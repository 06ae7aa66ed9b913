// Where a link leads: the file or folder that whole-file roads replace in place of the link itself.
#include "FileLinks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(LinkedPath, FollowsLinksAtTheLastPartToTheNameThatIsNoLink)
{
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    const auto at = [&](const char *name) { return root + '/' + QString::fromUtf8(name); };
    const auto link = [&](const char *target, const char *name) {
        ASSERT_EQ(::symlink(target, QFile::encodeName(at(name)).constData()), 0) << name;
    };
    ASSERT_TRUE(QDir().mkpath(at("disk/cases")));
    ASSERT_TRUE(QDir().mkpath(at("dat")));
    QFile(at("disk/Quorin.db")).open(QIODevice::WriteOnly);
    link("../disk/Quorin.db", "dat/relative.db");
    link("relative.db", "dat/chain.db");
    link((root + "/disk/cases").toUtf8().constData(), "Quorin_f");
    link("../Quorin_f/../gone.db", "dat/through-folder.db");
    link("../disk/missing.db", "dat/dangling.db");
    link("loop-b", "dat/loop-a");
    link("loop-a", "dat/loop-b");
    const struct {
        const char *path;
        QString leadsTo;
    } rows[] = {
        {"disk/Quorin.db", at("disk/Quorin.db")},             // no link: itself
        {"dat/relative.db", at("disk/Quorin.db")},            // read from the link's own folder
        {"dat/chain.db", at("disk/Quorin.db")},               // a link to a link
        {"Quorin_f/", at("disk/cases")},                      // a folder, asked with its slash
        {"dat/through-folder.db", at("disk/gone.db")},        // ".." goes up from where the folder link leads
        {"dat/dangling.db", at("disk/missing.db")},           // the name its file would have
        {"dat/loop-a", at("dat/loop-a")},                     // a circle: itself
        {"nothing/here.db", at("nothing/here.db")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LinkedPath(at(row.path)), row.leadsTo) << row.path;
}

} // namespace
