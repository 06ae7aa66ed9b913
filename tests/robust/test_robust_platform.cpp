// The platform layer and the main window's degree reader fed random bytes and random text.
#include "ChartInputs.h"
#include "CleanName.h"
#include "GbkText.h"
#include "IniFile.h"
#include "RobustRandom.h"
#include "Resources.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// Lines that look like an INI file, broken in every way a file can be.
std::string HostileIniBytes(Hostile &h)
{
    static const char *pieces[] = {"[set]", "[SET]", "[", "]", "[]", "[set", "key=value", "Key = 12", "=", "==",
                                   "key=", "=value", ";comment", "#x", "  ", "\"", "key=\"quoted\"",
                                   "key=0x7fffffff", "key=0xZZ", "key=1e999", "key=nan", "key=-0", "\xEF\xBB\xBF",
                                   "\xC3\x28", "\xB2\xE2\xCA\xD4", "\xFF\xFE", "\r", "\n", "\r\n"};
    std::string s;
    const int n = int(h.Int(0, 40));
    for (int i = 0; i < n; ++i) {
        switch (h.Int(0, 9)) {
        case 0:
            s += h.Bytes(60);
            break;
        case 1:
            s += std::string(size_t(h.Int(0, 3)), '\0');
            break;
        case 2:
            s += "key=" + std::string(size_t(h.Chance(3) ? 300000 : 2000), 'x');
            break;
        default:
            s += h.Pick(pieces);
            break;
        }
        if (h.Chance(70))
            s += h.Chance(80) ? "\n" : "\r\n";
    }
    return s;
}

TEST(RobustPlatform, IniFilesOfRandomBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Hostile h(1985);
    const QString path = dir.path() + QStringLiteral("/set.ini");
    for (int i = 0; i < 150; ++i) {
        const std::string bytes = HostileIniBytes(h);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes.data(), qint64(bytes.size()));
        }
        IniFile ini(path);
        ini.ReadString(QStringLiteral("set"), QStringLiteral("key"), QStringLiteral("d"));
        ini.ReadInteger(QStringLiteral("set"), QStringLiteral("key"), 7);
        EXPECT_TRUE(std::isfinite(ini.ReadFloat(QStringLiteral("set"), QStringLiteral("key"), 1.5)));
        ini.ReadBool(QStringLiteral("SET"), QStringLiteral("Key"), true);
        const QStringList sections = ini.ReadSections();
        QList<QStringList> keysBefore;
        for (const QString &s : sections)
            keysBefore << ini.ReadSection(s);
        ini.SectionExists(h.Text(6));
        ini.ValueExists(QStringLiteral("set"), h.Text(6));

        // A write either is refused or leaves a file whose value reads back.
        const QString section = h.Chance(50) ? QStringLiteral("set") : h.Text(6);
        const QString key = h.Chance(50) ? QStringLiteral("key") : h.Text(6);
        const QString value = QString::number(h.Int(-100000, 100000)) + QStringLiteral("值");
        if (ini.WriteString(section, key, value)) {
            // Names are written trimmed, and a lone surrogate cannot be written as UTF-8 at all.
            if (section.isValidUtf16() && key.isValidUtf16()) {
                EXPECT_EQ(ini.ReadString(section.trimmed(), key.trimmed(), QStringLiteral("\x01")), value) << i;
            }
            // Every section and key the file had before is still there.
            for (qsizetype n = 0; n < sections.size(); ++n) {
                const QStringList keysNow = ini.ReadSection(sections[n]);
                for (const QString &k : keysBefore[n])
                    EXPECT_TRUE(keysNow.contains(k, Qt::CaseInsensitive)) << i << " " << k.toStdString();
            }
            EXPECT_TRUE(ini.WriteInteger(QStringLiteral("set"), QStringLiteral("n"), int(h.Edge<int32_t>(0, 9))));
            // The largest doubles written with 15 digits round up past the largest double and read back as
            // the default, so the values stay a little below it.
            double x = h.AnyDouble();
            if (std::fabs(x) > 1e300)
                x = std::copysign(1e300, x);
            if (ini.WriteFloat(QStringLiteral("set"), QStringLiteral("f"), x) && std::isfinite(x)) {
                EXPECT_NEAR(ini.ReadFloat(QStringLiteral("set"), QStringLiteral("f"), 0.5), x, std::fabs(x) * 1e-14);
            }
            EXPECT_TRUE(ini.DeleteKey(section, key));
            EXPECT_TRUE(ini.EraseSection(h.Chance(50) ? section : h.Text(4)));
        } else {
            EXPECT_FALSE(ini.lastError().isEmpty());
        }
    }
}

TEST(RobustPlatform, AnIniPathThatIsAFolderReadsDefaultsAndRefusesWrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    IniFile ini(dir.path());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("set"), QStringLiteral("key"), 7), 7);
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_FALSE(ini.WriteInteger(QStringLiteral("set"), QStringLiteral("key"), 1));
    EXPECT_FALSE(ini.lastError().isEmpty());
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

TEST(RobustPlatform, GbkAndUtf8OfRandomBytes)
{
    Hostile h(936);
    for (int i = 0; i < 2000; ++i) {
        const std::string raw = h.Bytes(h.Chance(2) ? 20000 : 40);
        const QByteArrayView bytes(raw.data(), qsizetype(raw.size()));
        const QString gbk = GbkDecode(bytes);
        const QString either = DecodeUtf8OrGbk(bytes);
        if (IsValidUtf8(bytes)) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
            QString expected = utf8(bytes);
            if (expected.startsWith(QChar(0xFEFF)))
                expected.remove(0, 1);
            EXPECT_EQ(either, expected) << i;
        } else {
            EXPECT_EQ(either, gbk) << i;
        }
        // Text GBK can hold goes there and back unchanged.
        const QByteArray encoded = GbkEncode(gbk);
        EXPECT_EQ(GbkLength(gbk), encoded.size());
        if (!gbk.contains(QChar::ReplacementCharacter)) {
            EXPECT_EQ(GbkDecode(encoded), gbk) << i;
        }
        GbkEncode(h.Text(40));
    }
}

TEST(RobustPlatform, StringsAndNames)
{
    Hostile h(10);
    for (int i = 0; i < 3000; ++i) {
        LoadStr(int(h.Edge<int32_t>(-10, 70000)));
        QString name = h.Text(h.Chance(5) ? 3000 : 16);
        CleanName(name);
        ASSERT_FALSE(name.isEmpty());
        ASSERT_LE(name.toUcs4().size(), 10); // whole characters, as a stored name is cut
        QHash<int, QString> table;
        ParseStringTable(h.Text(60), table, nullptr);
        UnescapeResourceText(h.Text(30));
    }
    LoadText(h.Text(10));
}

QString HostileDegreeText(Hostile &h)
{
    static const char *forms[] = {"120:30", "120-30", "120 30", "360", "359:59", "359:60", "0:0", "-1", ":", "-",
                                  " ", "",  "1e999", "nan",     "inf",    "120:", ":30", "120:30:10", "9999999999:1",
                                  "1:9999999999", "0x10", "１２０", "120．5", "120.5", "120,5", "+5", "--5", "5--"};
    switch (h.Int(0, 3)) {
    case 0:
        return QString::fromUtf8(h.Pick(forms));
    case 1:
        return h.NumberText() + QString::fromUtf8(h.Pick(forms)) + h.NumberText();
    case 2:
        return h.NumberText() + QChar(h.Pick(u":- ")) + h.NumberText();
    default:
        return h.Text(h.Chance(5) ? 5000 : 12);
    }
}

TEST(RobustPlatform, DegreeTextsOfTheMainWindow)
{
    Hostile h(360);
    for (int i = 0; i < 4000; ++i) {
        const QString text = HostileDegreeText(h);
        const ChartInputs::ParsedDegree p = ChartInputs::ParseDegree(text);
        ChartInputs::DegreeErrorText(p.error);
        ChartInputs::DegreeErrorTitle(p.error);
        if (p.error == ChartInputs::DegreeError::None) {
            ASSERT_TRUE(std::isfinite(p.degree)) << text.toStdString();
            ASSERT_GE(p.degree, 0.0) << text.toStdString();
            ASSERT_LT(p.degree, 360.0) << text.toStdString();
            // The text shown for a degree reads back.
            const ChartInputs::ParsedDegree again = ChartInputs::ParseDegree(ChartInputs::DegreeText(p.degree));
            EXPECT_EQ(again.error, ChartInputs::DegreeError::None) << text.toStdString();
        }
        // Degrees as the window passes them: finite, though not always within one turn.
        ChartInputs::DegreeText(double(h.Int(-1000000000, 1000000000)) / 997.0);
        ChartInputs::ItemToDegree(int(h.Edge<int32_t>(-5, 100)), h.AnyDouble());
        const int year = int(h.Edge<int32_t>(-100, 4000));
        ChartInputs::PeriodIndexOfYear(year);
        ChartInputs::YearInPeriod(year, int(h.Edge<int32_t>(-2, 10)));
        ChartInputs::YearOfText(HostileDegreeText(h), 2024);
        ChartInputs::IsSeparatorItem(int(h.Edge<int32_t>(-5, 100)));
    }
}

} // namespace
