#include "CaseTestFile.h"

#include "CaseFiles.h"
#include "CommentFile.h"

#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

CaseTestFile::CaseTestFile()
{
    EXPECT_EQ(db.Open(MRecordBase::DefaultPath(app)), 0);
}

int CaseTestFile::add(TRecordData rec, const QString &comment)
{
    const int id = db.InsertCase(rec);
    EXPECT_GT(id, 0) << db.Message().toStdString();
    if (!comment.isEmpty())
        writeComment(rec.remarkFile, comment);
    return id;
}

void CaseTestFile::writeComment(const QString &remarkFile, const QString &text) const
{
    QTextDocument doc;
    doc.setPlainText(text);
    EXPECT_TRUE(SaveCommentFile(CaseFolder(app) + remarkFile + ".rtf", doc));
}

void CaseTestFile::exec(const QString &sql) const
{
    sqlite3 *raw = nullptr;
    sqlite3_open(MRecordBase::DefaultPath(app).toUtf8().constData(), &raw);
    EXPECT_EQ(sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    sqlite3_close(raw);
}

TRecordData MakeCase(const QString &name, const QString &className, int sex, int buildYear)
{
    TRecordData r;
    r.name = name;
    r.className = className;
    r.sex = uint8_t(sex);
    r.buildYear = int16_t(buildYear);
    r.date = {1980, 5, 6, 7, 8};
    r.remarkFile = name + QStringLiteral("_%1").arg(buildYear);
    return r;
}

void AddVariedCases(CaseTestFile &file, int n, uint32_t seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](const QStringList &from) { return from[int(rng() % uint32_t(from.size()))]; };
    const QStringList names{"张三", "张三丰", "李四", "王五", "abc", "ABC", "Abc", "赵六", "张", "三丰", "钱北京"};
    const QStringList classes{"私人别墅", "小区套房", "临时保存", "外地", "私人"};
    const QStringList places{"北京市海淀区", "上海市", "", "杭州西湖", "北京", "男生宿舍"};
    const QStringList words{"北京", "旺山旺向", "张三", "男", "上海", "it's", "1980年", "子时", "平安", "abc"};

    ASSERT_EQ(file.db.OpenDb(), 0);
    for (int i = 0; i < n; ++i) {
        TRecordData r = MakeCase(pick(names), pick(classes), int(rng() % 2), int(rng() % 2400) - 300);
        r.address = pick(places);
        r.date = {int16_t(1900 + rng() % 120), int16_t(1 + rng() % 12), int16_t(1 + rng() % 28),
                  int16_t(rng() % 24), int16_t(rng() % 60)};
        r.remarkFile = r.name + QStringLiteral("_%1").arg(i);
        const uint32_t kind = rng() % 10;
        if (kind == 0)
            r.remarkFile = "../" + r.remarkFile; // never read
        ASSERT_GT(file.db.InsertCaseBatch(r), 0);
        if (kind >= 5) {
            QString comment;
            for (uint32_t w = 0, count = 1 + rng() % 4; w < count; ++w)
                comment += pick(words) + (rng() % 3 == 0 ? "\n" : "，");
            file.writeComment(r.remarkFile, comment);
        } else if (kind == 1) {
            QFile plan(CaseFolder(file.app) + r.remarkFile + ".bmp"); // a floor plan without comments
            plan.open(QIODevice::WriteOnly);
        }
    }
    ASSERT_TRUE(file.db.CloseDb());
    file.exec("delete from case_data where id % 97 = 0;");
    file.exec("update case_data set sex='x', jianShan='', className='', dateNum='7' where id % 89 = 0;");
    file.exec("update case_data set name=NULL, addrName=NULL, jianShan='abc 1 2' where id % 83 = 0;");
}
