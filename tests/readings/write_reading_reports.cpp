// Writes whole reports (the Xuan Kong reading of the lay-out, then the Eight Mansions reading) as text files, for
// a practitioner to read before the readings are signed: no test checks these houses sentence by sentence.
//
//     write_reading_reports <folder>                                        ten houses of every kind
//     write_reading_reports <folder> <year> <mountain> <下卦|替卦> <degree>   one house
//
// The build target reading_reports writes the ten into reports_read under the build folder.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

struct House {
    const char *name; // the file name: period, house and what it is read for
    int year;
    int mountain;
    bool xiaGua;
    double degree;
};

// Periods 1 to 9, both variants near the 兼 threshold, the four patterns, 伏吟 and 反吟, 合十, 三般卦, 打劫, and
// houses built before and after the cycle the reading tables date.
const House kHouses[] = {
    {"1运丙山壬向_下卦_2050年_双星会向_坎宫打劫", 2050, 12, true, 165.0},
    {"2运未山丑向_下卦_旺山旺向_全局合十", 1890, 15, true, 210.0},
    {"3运巽山乾向_下卦_上山下水_连珠三般卦", 1910, 10, true, 135.0},
    {"4运乾山巽向_下卦_偏4度18分_坎宫打劫", 1930, 22, true, 319.3},
    {"5运辰山戌向_替卦_兼巽_离宫打劫", 1950, 9, false, 124.8},
    {"6运亥山巳向_下卦_双星会坐_全局伏吟", 1970, 23, true, 330.0},
    {"7运甲山庚向_替卦_兼寅_全局伏吟", 1990, 6, false, 70.2},
    {"8运坤山艮向_下卦_1835年_上山下水_父母三般卦", 1835, 16, true, 225.0},
    {"8运酉山卯向_下卦_零神", 2010, 19, true, 270.0},
    {"9运巳山亥向_下卦_双星会向", 2030, 11, true, 150.0},
};

QString Report(MQuorin &q, int year, int mountain, bool xiaGua, double degree)
{
    TRecordData rec = ReferenceHouse();
    const int item = DegreeToItem(degree, 4.5);
    rec.mountain = static_cast<uint8_t>(item >= 0 && item / 4 == mountain ? item : 4 * mountain + 1);
    rec.degree = static_cast<float>(degree);
    rec.door = static_cast<uint8_t>(FacingMountain(mountain));
    rec.buildYear = static_cast<int16_t>(year);
    rec.xiaGua = xiaGua ? 1 : 0;
    if (!q.PaiPan(rec))
        return QStringLiteral("布宅局失败：") + q.sMessage;
    QString text = q.sReport;
    q.ShowBaZhaiPan();
    return text + QStringLiteral("\r\n\r\n") + q.sReport;
}

bool Write(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: %s <folder> [<year> <mountain 0..23> <下卦|替卦> <degree>]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return 1;
    TempProgramFolder program;
    MQuorin q;
    if (argc == 6) {
        const bool xia = QString::fromLocal8Bit(argv[4]) == QStringLiteral("下卦");
        const QString name = QStringLiteral("%1_%2_%3_%4").arg(argv[2], argv[3], argv[4], argv[5]);
        return Write(folder + QLatin1Char('/') + name + QStringLiteral(".txt"),
                     Report(q, std::atoi(argv[2]), std::atoi(argv[3]), xia, std::atof(argv[5])))
                   ? 0
                   : 1;
    }
    for (const House &h : kHouses)
        if (!Write(folder + QLatin1Char('/') + QString::fromUtf8(h.name) + QStringLiteral(".txt"),
                   Report(q, h.year, h.mountain, h.xiaGua, h.degree)))
            return 1;
    return 0;
}
