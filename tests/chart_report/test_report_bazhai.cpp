// The Eight Mansions reading written by the Eight Mansions view.
#include "ReportTestUtil.h"

#include "Resources.h"

namespace {

// A house of the given sitting mountain at its centre degree, door at its facing.
TRecordData House(int mountain)
{
    TRecordData rec = ReferenceHouse();
    rec.mountain = static_cast<uint8_t>(4 * mountain + 1);
    rec.degree = static_cast<float>(mountain * 15 + 345) - (mountain * 15 + 345 >= 360 ? 360 : 0);
    rec.door = static_cast<uint8_t>((mountain + 12) % 24);
    return rec;
}

QStringList BaZhaiLines(MQuorin &q, const TRecordData &rec)
{
    EXPECT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    EXPECT_TRUE(q.ShowBaZhaiPan());
    return PaneLines(q);
}

TEST(BaZhaiReading, ReferenceHouse)
{
    TempProgramFolder folder;
    MQuorin q;
    const QStringList lines = BaZhaiLines(q, ReferenceHouse());
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], Q("宅主：张三   乾造：庚申-坤宫(1980年，中元六乾运)"));
    EXPECT_EQ(lines[4], Q("--------------------------------------------"));
    EXPECT_EQ(lines[5], Q("八宅法断宅："));
    QStringList expected = {
        Q("◎宅主:庚申，福元坤宫，属西四命。"),
        Q("★伏位坎宫，属东四位宅。房屋与宅主福元相克，不利。"),
        Q("★宅主房间宜居天乙、生气、延年、伏位方，大门可根据地形在这四个方位中选择一个。"),
        Q("★宅主宜住4层、9层、10层、5层或尾数为4、9、0、5的楼层。"),
        Q("★文昌位：艮宫(东北方)，此方位可做书房；此为八宅宅卦之文昌，玄空飞星一四同宫之文昌在坎宫，二法各论。"),
        Q("★桃花位：卯山(属正东方)"),
    };
    for (int i = 0; i < 11; ++i)
        expected.append(LoadStr(1600 + i)); // 坎 is the 伏位 palace
    // A 坤 owner in a house of the east group: his own good directions after the house-and-owner line, and a
    // word after the study line and in the bedroom line's sentence on the main bedroom, whose directions are all
    // bad ones of his life. In 八运 二 and 五 share 震 and 乾, and the palaces of the strongest door (巽) and the second
    // (坎) are to stay quiet: the lines that send a bed there or praise those doors name those palaces, and the
    // withdrawn doors name the first of the one order of doors, given on the line after the door advice.
    const QString bad = Q("宅主坤命，本宅四吉方于其本命皆凶：正北为本命绝命、正东为本命祸害、东南为本命五鬼、正南为本命六煞，");
    expected[6 + 4].replace(Q("，最为得力；"), Q("，八宅论之最为得力，唯本运东南巽宫向星四(煞)，宜静，门以玄空为准，"
                                                "此门不取，宜改取正南离宫（此方八宅延年吉气化为无，玄空本运可开；"
                                                "门位次第见下）；"));
    expected[6 + 4].replace(Q("次之。"), Q("次之，唯本运正北坎宫向星七(退)，宜静，亦不取。"));
    expected[6 + 5].replace(Q("夫妻和睦；"), Q("夫妻和睦，唯") + bad +
                                                Q("宅主本人之床位忌安此、床头忌朝此，宅主之床以本命为准，宜安、宜朝本命吉方（见上）；"));
    expected[6 + 5].replace(Q("卧房逢玄空山星五黄、失令之二黑者，以玄空为准，另择吉房。"),
                            Q("卧房逢玄空五黄、失令之二黑及二五、五九同宫之方，以玄空为准，另择吉房：本运正东震宫二五同宫、"
                              "西北乾宫二五同宫，皆忌作卧房。"));
    expected[6 + 7] += bad + Q("宅主本人之书桌忌安此、人忌面向此；宅主之书桌以本命为准，宜安、宜朝本命吉方（见上）。");
    expected.insert(6 + 5, Q("★本运门位次第：正南离宫、东北艮宫、正西兑宫。此以玄空排定，八宅吉凶与之相违之方，"
                             "见下八方吉凶断。"));
    expected.insert(6 + 4, Q("★宅主坤命，本命吉方：生气东北（艮）、天医正西（兑）、延年西北（乾）、伏位西南（坤）。"
                             "宅主本人之床位、书桌宜安于此四方；唯本运西北乾宫二五同宫，床位、书桌不宜安此，以玄空为准。"));
    EXPECT_EQ(lines.mid(6, expected.size()), expected);

    EXPECT_TRUE(HasLine(lines, Q("房屋八方吉凶断：")));
    EXPECT_TRUE(HasLine(lines, Q("★坎宫(正北):伏位(福德)临之，宫生星，") + LoadStr(307)));
    EXPECT_TRUE(HasLine(lines, Q("★艮宫(东北):五鬼(廉贞)临之，星生宫，但凶星临，主吉事少凶事多。")));
    EXPECT_TRUE(HasLine(lines, Q("★震宫(正东):天医(巨门)临之，宫克星，吉星之吉气化为无，须防有凶。")));
    EXPECT_TRUE(HasLine(lines, Q("★巽宫(东南):生气(贪狼)临之，宫星比和，") + LoadStr(302)));
    EXPECT_TRUE(HasLine(lines, Q("●注：以上八方，吉星临方宜修得高大，凶星临方宜修得低矮，则可得福免祸。")));
    EXPECT_EQ(Section(lines, Q("【二十四山放水参考】"), Q("建宅")).mid(0, 2),
              (QStringList{Q("【二十四山放水参考】"), LoadStr(1761)}));

    EXPECT_EQ(Section(lines, Q("建宅选择："), Q("●")),
              (QStringList{Q("建宅选择："), Q("○宅主命前五神:丑，定生宫:坤宫。"), Q("★(甲申)建宅，当年吉凶如下:"),
                           Q("  五神：明喜。"), Q("  游年：坤，伏位值年(主逃亡人复归)"),
                           Q("  小运：庚辰，天罡值年(大凶年，不宜修造)"), QString()}));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.last(), LoadStr(1790));
    EXPECT_TRUE(lines.last().startsWith(Q("参考知识：")));
    EXPECT_EQ(lines[lines.size() - 3], Q("======================================="));
}

TEST(BaZhaiReading, WhereTheMethodsDifferTheDoorFollowsTheFlyingStars)
{
    // 子山午向 in 八运 (a 坎 house): 坎 and 巽 are good Eight Mansions directions the flying stars keep quiet; 艮
    // (五鬼, the 正神 palace), 离 (延年 voided) and 兑 (祸害) may take a door by the flying stars. 震 (五黄 with a
    // voided 天医), 坤 (绝命, quiet) and 乾 (二黑 with 六煞) are barred by both and get no word.
    TempProgramFolder folder;
    MQuorin q;
    const QStringList lines = BaZhaiLines(q, ReferenceHouse());
    QString differ;
    for (const QString &l : lines)
        if (l.startsWith(Q("◎")) && l.contains(Q("二法相违")))
            differ += l[3];
    EXPECT_EQ(differ, Q("坎艮巽离兑"));
    // The reason is given once; a withdrawn door names where to go, a door kept cites its place in the order.
    EXPECT_TRUE(HasLine(lines, Q("◎正北坎宫二法相违：八宅伏位吉方，本宜开门；玄空本运向星七(退)，宜静。"
                                 "门以玄空为准：门为纳气之口，元运之气重于八宅方位之静气，此门不取，宜改取正南离宫"
                                 "（门位次第见上大门）。")));
    EXPECT_TRUE(HasLine(lines, Q("◎东北艮宫二法相违：玄空本运向星九(生)，为本运正神方，只宜开门、走道，不宜见水；"
                                 "八宅五鬼凶方，不宜开门。门亦以玄空为准（理见上）；本运门位此方居第二（次第见上大门）。")));
    // The closing note gives the door to the same method.
    EXPECT_TRUE(lines.last().contains(Q("门开于玄空可开之方")));

    // An owner of the house's own group gets no word about his life's directions.
    TRecordData rec = ReferenceHouse();
    rec.date.year = 1981; // 坎命
    for (const QString &l : BaZhaiLines(q, rec))
        EXPECT_FALSE(l.contains(Q("本命吉方：")) || l.contains(Q("为本命"))) << l.toStdString();
}

TEST(BaZhaiReading, FloorsStudyAndPeachBlossom)
{
    TempProgramFolder folder;
    MQuorin q;
    // An owner born in a 子 year: 水, generated by 金.
    TRecordData rec = ReferenceHouse();
    rec.date.year = 1984;
    EXPECT_TRUE(HasLine(BaZhaiLines(q, rec), Q("★宅主宜住1层、6层、4层、9层或尾数为1、6、4、9的楼层。")));

    // 巽's group (辰 巽 巳) has its study in the centre, which the line says is the Eight Mansions' study.
    for (int m : {9, 10, 11})
        EXPECT_TRUE(HasLineStarting(BaZhaiLines(q, House(m)), Q("★文昌位：中宫(中心位置)，此方位可做书房；此为八宅宅卦之文昌，")))
            << m;
    // 桃花 by mountain pairs: 壬子 卯, 癸丑 子, 艮寅 酉, 甲卯 午, then again.
    const char *peach[] = {"★桃花位：卯山(属正东方)", "★桃花位：子山(属正北方)", "★桃花位：酉山(属正西方)",
                           "★桃花位：午山(属正南方)"};
    for (int m = 0; m < 24; ++m)
        EXPECT_TRUE(HasLine(BaZhaiLines(q, House(m)), Q(peach[(m / 2) % 4]))) << m;
}

TEST(BaZhaiReading, WaterLinesOfEveryMountain)
{
    TempProgramFolder folder;
    MQuorin q;
    for (int m = 0; m < 24; ++m) {
        const QStringList lines = BaZhaiLines(q, House(m));
        const QStringList water = Section(lines, Q("【二十四山放水参考】"), Q("建宅"));
        ASSERT_GE(water.size(), 2) << m;
        EXPECT_TRUE(water[1].startsWith(U(Shan(m)) + Q("山水宜放"))) << m;
        if (m == 0) {
            EXPECT_EQ(water[1], Q("壬山水宜放甲乙巨门方，天井宜宽深，吉。"));
        }
        if (m == 23) {
            EXPECT_EQ(water[1], Q("亥山水宜放丙丁破军方，天井宜深聚，吉。"));
        }
    }
}

TEST(BaZhaiReading, OwnerNotYetBornStopsAfterWuShen)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.date.year = 2005; // age 0 in the building year 2004
    QStringList lines = BaZhaiLines(q, rec);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QString()); // the line break that ends the 五神 line
    lines.removeLast();
    EXPECT_TRUE(lines.last().startsWith(Q("  五神："))) << lines.last().toStdString();
    EXPECT_EQ(lines[lines.size() - 2], Q("★(甲申)建宅，当年吉凶如下:"));

    rec.date.year = 2004; // age 1: the whole section
    const QStringList born = BaZhaiLines(q, rec);
    EXPECT_TRUE(born.last().startsWith(Q("参考知识：")));
}

TEST(BaZhaiReading, WomanAndTheCentrePalace)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.sex = 0; // 坎 伏位: 定生宫 5 becomes 艮 for a woman
    const QStringList lines = BaZhaiLines(q, rec);
    EXPECT_TRUE(HasLine(lines, Q("○宅主命前五神:丑，定生宫:艮宫。")));
    // Age 25, counted backward for a woman: (160 − 25) mod 8 = 7, 乾.
    EXPECT_TRUE(HasLineStarting(lines, Q("  游年：乾，")));
    // 小运 of a woman: ((9 − 50 + 60) mod 60 − 25 + 121) mod 60 = 55, 戊午 (胜光, 大通年).
    EXPECT_TRUE(HasLine(lines, Q("  小运：戊午，胜光值年(大通年，大宜修造)")));
}

TEST(BaZhaiReading, AdviceFollowsTheRulingOfTheFlyingStars)
{
    // Houses at their mountains' centres, 下卦; each row one line of the Xuan Kong (xk) or the Eight Mansions
    // reading that must be there, or (present false) must not.
    struct Row {
        int mountain, year, door;
        bool xk;
        const char *text;
        bool present = true;
    };
    const Row rows[] = {
        // 四运乾山巽向: the timely facing star at the 向首 (正神, 八宅 祸害) comes first; 坤 second, with the word
        // that a new door under 二黑 is building work. The lines on the directions cite that order.
        {22, 1930, 10, false,
         "★本运门位次第：东南巽宫、西南坤宫（山星二黑在此，新开门即属动土，须择时、化二黑）。"},
        {22, 1930, 10, false, "；当令向星在此，门以此方为先（门位次第见上大门）。"},
        {22, 1930, 10, false, "宜先取之", false},
        // ... and its 打劫 is off because the 正神 is the 向首, which the line says, for a reason the landform line,
        // which opens the front, does not refute.
        {22, 1930, 10, true,
         "☆北斗七星坎宫打劫(巽坎兑)，唯向首巽宫为本运正神方，宜山不宜水；打劫须向首见水以劫未来之气，"
         "向首既不宜见水，本运不能用此打劫。"},
        // 六运子山午向: the 正神 乾 is beside the facing 离, lends its air, and the robbery is used.
        {1, 1970, 13, true,
         "★北斗七星离宫打劫(离震乾)，以现在之运劫未来之气，可以变祸为福；震、乾方只宜通气，以通三宫之气；"
         "乾宫虽为本运正神方，宜山不宜水，打劫只借其通气，本运仍可用此打劫。"},
        {1, 1970, 13, true, "本运不能用此打劫", false},
        // A later period's 布局 that opens a door under 五黄 says what a new door there means.
        {1, 1970, 13, true, "唯山星五在此，忌动土开池，宜借外水，新开门即属动土，须择时、化五黄"},
        // 二运戌山辰向, door 辰: 乾 holds the timely facing star but is the sitting palace, the back of the house, so
        // it takes a back door only; the main door moves to 艮 first and 兑 (山星五黄) last, with its word.
        {21, 1894, 9, true, "宜改门于东北艮宫、正西兑宫（山星五黄在此，新开门即属动土，须择时、化五黄）。"},
        {21, 1894, 9, false,
         "★本运门位次第：东北艮宫、正西兑宫（山星五黄在此，新开门即属动土，须择时、化五黄）。"
         "坐山西北乾宫只可开后门，不作大门。"},
        // ... and a door in the sitting palace itself is told to move to the front or the sides.
        {21, 1894, 21, true, "然门在坐山西北乾宫，此方只可开后门，不作大门，宜改门于东北艮宫、正西兑宫"},
        // 一运壬山丙向: 壬's water runs to 震, where the flying stars put water; the drainage defers.
        {0, 1874, 12, false,
         "★本宅玄空飞星：正东震宫向星三(生)，宜开门、见水，为本运纳水聚财之方，天井之水宜聚于此，不宜由此方流出；"
         "放水以玄空为准，出水之口依外局水口另择，勿出于此方。"},
    };
    TempProgramFolder folder;
    MQuorin q;
    for (const Row &r : rows) {
        TRecordData rec = House(r.mountain);
        rec.buildYear = static_cast<int16_t>(r.year);
        rec.door = static_cast<uint8_t>(r.door);
        ASSERT_TRUE(q.PaiPan(rec)) << r.mountain;
        const QString xk = PaneLines(q).join(QLatin1Char('\n'));
        ASSERT_TRUE(q.ShowBaZhaiPan());
        const QString bz = PaneLines(q).join(QLatin1Char('\n'));
        EXPECT_EQ((r.xk ? xk : bz).contains(Q(r.text)), r.present) << r.mountain << " " << r.year << ": " << r.text;
    }
}

} // namespace
