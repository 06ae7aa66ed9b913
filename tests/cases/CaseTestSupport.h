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
