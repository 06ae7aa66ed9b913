#pragma once

#include "AppPath.h"
#include "FeiXingCalc.h"
#include "NameTables.h"
#include "TRecordData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <string>

// Stars written 1..9 in a test, stored with 九 as 0.
inline uint8_t S(int star) { return static_cast<uint8_t>(star % 9); }

inline int MountainIndex(std::string_view name)
{
    for (int i = 0; i < 24; ++i)
        if (ShanName[i] == name)
            return i;
    return -1;
}

// Palace index (坎 艮 震 巽 离 坤 兑 乾 中) by trigram name.
inline int PalaceIndex(std::string_view name)
{
    static constexpr std::string_view kNames[9] = {"坎", "艮", "震", "巽", "离", "坤", "兑", "乾", "中"};
    for (int i = 0; i < 9; ++i)
        if (kNames[i] == name)
            return i;
    return -1;
}

// A temporary program folder with an optional dat/set.ini, made the program folder while it lives.
class TempProgramFolder {
public:
    explicit TempProgramFolder(const QByteArray &setIni = {})
    {
        QDir(dir.path()).mkpath(QStringLiteral("dat"));
        if (!setIni.isEmpty()) {
            QFile f(dir.path() + QStringLiteral("/dat/set.ini"));
            if (f.open(QIODevice::WriteOnly))
                f.write(setIni);
        }
        SetAppPath(dir.path());
    }
    ~TempProgramFolder() { SetAppPath(QString()); }

private:
    QTemporaryDir dir;
};

// 子山午向 at 0°, door 午, male born 1980 without a birth month, built 2004 (period 8), 下卦.
inline TRecordData ReferenceHouse()
{
    TRecordData rec;
    rec.name = QStringLiteral("张三");
    rec.sex = 1;
    rec.date = TDateRec{1980, 0, 1, 0, 0};
    rec.buildYear = 2004;
    rec.mountain = 4 * 1 + 1;
    rec.door = 13;
    rec.degree = 0.0f;
    rec.xiaGua = 1;
    return rec;
}
