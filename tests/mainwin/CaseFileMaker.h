#pragma once

// A case file of many varied cases, for the tree's tests, its benchmark and the make_case_file tool.
#include "MRecordBase.h"

#include <QStringList>

// Saves n cases into <folder>dat/Quorin.db (made when missing) in one batch: owners of 30 surnames, both
// sexes, building years 1900..2029, all 96 sitting items, the eight default categories and one that the
// category list lacks. The number of cases saved.
inline int MakeCaseFile(const QString &folder, int n)
{
    static const QStringList surnames = QStringLiteral("赵 钱 孙 李 周 吴 郑 王 冯 陈 杜 钟 山 钭 温 厍 沙 有 牟 欧阳 "
                                                       "张 刘 黄 林 何 高 罗 郭 马 Smith")
                                            .split(QLatin1Char(' '));
    static const QStringList given = QStringLiteral("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛").split(QLatin1Char(' '));
    QStringList categories = DefaultClasses();
    categories << QStringLiteral("客户甲组");
    MRecordBase db(folder);
    if (db.Open(MRecordBase::DefaultPath(folder)) != 0)
        return 0;
    int saved = 0;
    MRecordBase::Batch batch(db);
    for (int i = 0; i < n; ++i) {
        TRecordData r;
        r.name = surnames.at(i % surnames.size()) + given.at((i / 7) % given.size());
        r.sex = uint8_t(i % 3 != 0);
        r.className = categories.at((i / 3) % categories.size());
        r.date = {int16_t(1940 + i % 70), int16_t(1 + i % 12), int16_t(1 + i % 28), int16_t(i % 24), 0};
        r.buildYear = int16_t(1900 + (i * 37) % 130);
        r.mountain = uint8_t(i % 96);
        r.door = uint8_t(i % 24);
        r.degree = float((i * 15) % 360);
        r.remarkFile = r.name + QString::number(i);
        saved += db.InsertCaseBatch(r) > 0;
    }
    return batch.commit() ? saved : 0;
}
