#pragma once

// What the tests of the case file's own operations share.

#include "CaseFileOps.h"
#include "FileBytes.h"
#include "MRecordBase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Refuses the n-th file step, or with kill set ends the process there; counts the steps either way.
struct StepOps : CaseFileOps {
    int at = 0;
    bool kill = false;
    int calls = 0;
    bool step(const char *) override
    {
        if (++calls != at)
            return true;
        if (kill)
            raise(SIGKILL);
        return false;
    }
};

// A disk without second names for files and without renaming only to a free name: a USB stick's FAT or exFAT.
struct NoLinkOps : CaseFileOps {
    int hardLink(const QByteArray &, const QByteArray &) override { return EPERM; }
    int renameNoReplace(const QByteArray &, const QByteArray &) override { return EINVAL; }
};

// A fresh program folder for each row of a test's table.
class FreshFolderTest : public ::testing::Test {
public:
    QTemporaryDir tmp;
    int runs = 0;
    QString app, db; // the program folder and its case file

    void NextFolder()
    {
        ASSERT_TRUE(tmp.isValid());
        app = tmp.path() + "/run" + QString::number(++runs) + "/";
        db = MRecordBase::DefaultPath(app);
    }

    // A fresh program folder whose case file holds 1 甲 and 2 `second`, each with its comment file.
    void MakeTwoCases(const char *second = "乙")
    {
        NextFolder();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        for (const char *name : {"甲", second}) {
            TRecordData r = Case(QString::fromUtf8(name));
            ASSERT_TRUE(base.SaveCase(-1, r, {"{\\rtf1 " + QByteArray(name) + "}", {}})) << base.Message().toStdString();
        }
    }

    // Renames the file at from over the case file.
    void RenameOver(const QString &from) const
    {
        ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(db).constData()), 0);
    }
    // Another program's case file (1 甲, 2 丙, with its own program folder) renamed over this one.
    void RenameAnotherProgramsFileOver()
    {
        const QString ours = app, ourDb = db;
        MakeTwoCases("丙");
        const QString theirs = db;
        app = ours, db = ourDb;
        RenameOver(theirs);
    }

    static TRecordData Case(const QString &name, const QString &comment = QStringLiteral("评语"))
    {
        TRecordData r;
        r.name = name;
        r.className = QStringLiteral("私人别墅");
        r.date = {1980, 5, 6, 7, 8};
        r.remarkText = comment;
        return r;
    }
};
