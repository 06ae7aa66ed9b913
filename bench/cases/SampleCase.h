#pragma once

// The case the whole-file benchmarks fill their 100,000-case files with; remarkChars is the length of the
// comment stored in its row (by default one short phrase).
#include "TRecordData.h"

#include <QString>

inline TRecordData SampleCase(int i, int remarkChars = 15)
{
    TRecordData r;
    r.name = QStringLiteral("张三") + QString::number(i % 1000);
    r.className = QStringLiteral("小区套房");
    r.date = {int16_t(1950 + i % 60), int16_t(1 + i % 12), int16_t(1 + i % 28), int16_t(i % 24), int16_t(i % 60)};
    r.buildYear = int16_t(1980 + i % 45);
    r.degree = float(i % 360) + 0.25f;
    r.address = QStringLiteral("浙江省杭州市西湖区文三路一百号");
    r.remarkFile = r.name + QStringLiteral("_%1").arg(i);
    const QString phrase = QStringLiteral("坐北朝南，门开东南，旺山旺向。");
    r.remarkText = phrase.repeated(remarkChars / phrase.size() + 1).left(remarkChars);
    return r;
}
