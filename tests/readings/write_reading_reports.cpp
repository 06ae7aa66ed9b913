// Writes whole reports (the Xuan Kong reading of the lay-out, then the Eight Mansions reading) as text files, for
// a practitioner to read before the readings are signed: no test checks these houses sentence by sentence.
//
//     write_reading_reports <folder>                                        the ten houses of kReadingHouses
//     write_reading_reports <folder> <year> <mountain> <下卦|替卦> <degree>   one house
//     write_reading_reports <folder> <year> <mountain> <下卦|替卦> <door> <owner's birth year>
//                                                                            one house at its mountain's centre,
//                                                                            door on mountain 0..23
//
// The build target reading_reports writes the ten into reports_read under the build folder.
#include "ReadingReports.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool WriteFile(MQuorin &q, const QString &path, int year, int mountain, bool xiaGua, double degree)
{
    const Reports r = Write(q, mountain, year, xiaGua, degree);
    const QString text = r.xk.isEmpty() ? QStringLiteral("布宅局失败：") + q.sMessage
                                        : r.xk + QStringLiteral("\r\n\r\n") + r.bz;
    QFile f(path + QStringLiteral(".txt"));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

// The same house with its door on another mountain and an owner born in ownerYear, at its mountain's centre.
bool WriteFile(MQuorin &q, const QString &path, int year, int mountain, bool xiaGua, int door, int ownerYear)
{
    const Reports r = Write(q, mountain, year, xiaGua, door, ownerYear);
    const QString text = r.xk.isEmpty() ? QStringLiteral("布宅局失败：") + q.sMessage
                                        : r.xk + QStringLiteral("\r\n\r\n") + r.bz;
    QFile f(path + QStringLiteral(".txt"));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6 && argc != 7) {
        std::fprintf(stderr,
                     "usage: %s <folder> [<year> <mountain 0..23> <下卦|替卦> <degree> | <door 0..23> <owner year>]\n",
                     argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    if (!QDir().mkpath(folder))
        return 1;
    TempProgramFolder program;
    MQuorin q;
    if (argc == 7)
        return WriteFile(q,
                         folder + QStringLiteral("%1_%2_%3_门%4_宅主%5").arg(argv[2], argv[3], argv[4], argv[5], argv[6]),
                         std::atoi(argv[2]), std::atoi(argv[3]),
                         QString::fromLocal8Bit(argv[4]) == QStringLiteral("下卦"), std::atoi(argv[5]),
                         std::atoi(argv[6]))
                   ? 0
                   : 1;
    if (argc == 6)
        return WriteFile(q, folder + QStringLiteral("%1_%2_%3_%4").arg(argv[2], argv[3], argv[4], argv[5]),
                     std::atoi(argv[2]), std::atoi(argv[3]), QString::fromLocal8Bit(argv[4]) == QStringLiteral("下卦"),
                     std::atof(argv[5]))
                   ? 0
                   : 1;
    for (const ReadingHouse &h : kReadingHouses)
        if (!WriteFile(q, folder + QString::fromUtf8(h.name), h.year, h.mountain, h.xiaGua, h.degree))
            return 1;
    return 0;
}
