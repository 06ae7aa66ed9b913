// The reading texts are data: a missing or malformed entry shows up only as a silently empty
// paragraph in a client's report. These tests read the texts through LoadStr, as the readings do,
// and check that every id the readings look up is there and belongs to the right mountain.
#include <gtest/gtest.h>

#include "Resources.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

namespace {

// The files that hold the reading texts.
const char *const kFiles[] = {"bazhai.txt", "mountains.txt", "stars.txt", "zeri.txt"};

// Mountain names in mountain-index order (0 = 壬 .. 23 = 亥).
const QString kShan = QStringLiteral("壬子癸丑艮寅甲卯乙辰巽巳丙午丁未坤申庚酉辛戌乾亥");

bool hasText(int id) { return !LoadStr(id).trimmed().isEmpty(); }

} // namespace

TEST(ReadingTexts, FilesAreCleanAndCompiledIn) {
    QHash<int, QString> table;
    for (const char *name : kFiles) {
        QFile f(QStringLiteral(QUORIN_STRINGS_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QString text = QString::fromUtf8(f.readAll());
        EXPECT_FALSE(text.contains(QLatin1Char('\r'))) << name;
        QString errors;
        EXPECT_TRUE(ParseStringTable(text, table, &errors)) << name << ": " << errors.toStdString();
    }
    EXPECT_GT(table.size(), 380);
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        // No stray backslash survives unescaping, and the program reads exactly what the file says.
        EXPECT_FALSE(it.value().contains(QLatin1Char('\\'))) << it.key();
        EXPECT_EQ(LoadStr(it.key()), it.value()) << it.key();
    }
}

TEST(ReadingTexts, EightMansionsStarsAndHouses) {
    for (int code = 0; code < 8; ++code)
        EXPECT_TRUE(hasText(300 + code)) << 300 + code;
    // The star text follows "…临之，宫星比和，"; it names its own star first (五鬼 0 .. 伏位 7).
    const QStringList stars = {"五鬼", "天医", "生气", "延年", "绝命", "祸害", "六煞", "伏位"};
    for (int code = 0; code < 8; ++code)
        EXPECT_TRUE(LoadStr(300 + code).startsWith(stars[code])) << 300 + code;
    // House g (坎 0 .. 乾 7) opens with its own trigram.
    const QString gua = QStringLiteral("坎艮震巽离坤兑乾");
    for (int g = 0; g < 8; ++g) {
        EXPECT_TRUE(LoadStr(1600 + 20 * g).startsWith(gua[g] + QStringLiteral("宅"))) << 1600 + 20 * g;
        for (int i = 0; i <= 10; ++i)
            EXPECT_TRUE(hasText(1600 + 20 * g + i)) << 1600 + 20 * g + i;
        EXPECT_FALSE(hasText(1600 + 20 * g + 11)) << "eleven lines per house";
    }
}

TEST(ReadingTexts, MountainTextsHaveTheirPiecesAndName) {
    for (int m = 0; m < 24; ++m) {
        const QString s = LoadStr(310 + m);
        ASSERT_TRUE(hasText(310 + m)) << 310 + m;
        const QStringList pieces = s.split(QLatin1Char('*'));
        EXPECT_EQ(pieces.size(), 6) << 310 + m;
        for (const QString &p : pieces)
            EXPECT_FALSE(p.trimmed().isEmpty()) << 310 + m << " has an empty piece";
        // A table shifted by one mountain would still read plausibly; each text names its own mountain first.
        EXPECT_TRUE(s.startsWith(kShan[m] + QStringLiteral("山"))) << 310 + m;
        EXPECT_FALSE(s.contains(QLatin1Char('\n'))) << 310 + m << ": each piece is one line";
    }
}

TEST(ReadingTexts, NineStarsAndEveryStarPair) {
    const QStringList names = {"一白", "二黑", "三碧", "四绿", "五黄", "六白", "七赤", "八白", "九紫"};
    for (int star = 1; star <= 9; ++star)
        EXPECT_TRUE(LoadStr(400 + star).startsWith(names[star - 1])) << 400 + star;
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b) {
            const int id = 400 + 10 * a + b;
            ASSERT_TRUE(hasText(id)) << id;
            // Where the order matters the text says which star leads.
            if (a != b) {
                EXPECT_TRUE(LoadStr(id).contains(names[a - 1] + QStringLiteral("为主"))) << id;
            }
        }
}

TEST(ReadingTexts, DateChoiceLinesPerMountain) {
    for (int m = 0; m < 24; ++m) {
        const bool corner = m == 4 || m == 10 || m == 16 || m == 22;  // 艮 巽 坤 乾 have eight lines
        const int lines = corner ? 8 : 6;
        for (int i = 0; i < 10; ++i) {
            const int id = 1100 + 10 * m + i;
            if (id != 1339) { // the auspicious hours follow the last mountain's block
                EXPECT_EQ(hasText(id), i < lines) << id;
            }
        }
        EXPECT_TRUE(LoadStr(1100 + 10 * m).contains(QStringLiteral("【") + kShan[m] + QStringLiteral("山")))
            << 1100 + 10 * m;
    }
    EXPECT_TRUE(LoadStr(1339).contains(QStringLiteral("黄道")));
}

TEST(ReadingTexts, WaterOutletLinesFollowTheFixedForm) {
    // One line per sitting mountain at 1760 + m, in the form of the two lines the reading already knows.
    EXPECT_EQ(LoadStr(1760), QStringLiteral("壬山水宜放甲乙巨门方，天井宜宽深，吉。"));
    EXPECT_EQ(LoadStr(1783), QStringLiteral("亥山水宜放丙丁破军方，天井宜深聚，吉。"));
    for (int m = 0; m < 24; ++m) {
        const QString s = LoadStr(1760 + m);
        EXPECT_TRUE(s.startsWith(kShan[m] + QStringLiteral("山水宜放"))) << 1760 + m;
        EXPECT_TRUE(s.contains(QStringLiteral("方，天井宜")) && s.endsWith(QStringLiteral("吉。"))) << 1760 + m;
    }
    EXPECT_TRUE(LoadStr(1790).startsWith(QStringLiteral("参考知识：")));
}
