// The header and the Xuan Kong reading written by a lay-out.
#include "ReportTestUtil.h"

#include "Resources.h"

namespace {

TEST(ReportHeader, ReferenceHouse)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    EXPECT_EQ(q.sHeader, Q("宅主：张三   乾造：庚申-坤宫(1980年，中元六乾运)\r\n建宅年份：甲申(2004年)八运艮宫。\n"
                           "坐向：子山午向(坎宅)，周天度=0:0（地雷复）\r\n门向：午方。"));
    // Both line breaks of the header end a paragraph of the pane.
    const QStringList lines = PaneLines(q);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[1], Q("建宅年份：甲申(2004年)八运艮宫。"));
    EXPECT_EQ(lines[2], Q("坐向：子山午向(坎宅)，周天度=0:0（地雷复）"));
    EXPECT_EQ(lines[3], Q("门向：午方。"));
}

TEST(ReportHeader, BirthDateJianAndMinutes)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.sex = 0;
    rec.date = TDateRec{2000, 1, 1, 23, 30}; // the hour 23 counts as the next day
    rec.mountain = 4 * 1 + 2;                // 子 兼 癸
    rec.degree = 5.9999f;                    // the minutes carry into the degrees
    ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    EXPECT_EQ(q.sHeader, Q("宅主：张三   坤造：己卯-艮宫(己卯 丙子 己未 甲子，2000-1-1 23:30，一九九九年十一月廿六日，"
                           "下元七兑运)\r\n建宅年份：甲申(2004年)八运艮宫。\n"
                           "坐向：子山午向兼癸丁(坎宅)，周天度=6:0（山雷颐）\r\n门向：午方。"));

    // 正月, a leap month and the days below 11.
    rec.lunar = 1;
    rec.date = TDateRec{2024, 1, 10, 8, 5};
    ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    EXPECT_TRUE(q.BirthDateText().endsWith(Q("，2024-2-19 8:5，二○二四年正月初十日"))) << q.BirthDateText().toStdString();
    rec.date = TDateRec{2023, 2, 11, 8, 5};
    rec.leap = 1;
    ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    EXPECT_TRUE(q.BirthDateText().endsWith(Q("二○二三年闰二月十一日"))) << q.BirthDateText().toStdString();
}

TEST(XuanKongReading, ReferenceHouse)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    const QStringList lines = PaneLines(q);
    for (const char *line : {
             "★座山属天元龙大门宜开在天元龙方。",
             "★房屋朝向与门向同元一气，吉利。",
             "●此为双星会向的格局。旺财、不旺丁。如果周围山势龙脉忽然落下，前面开阔宽敞，有池塘、湖泊。"
             "就可以反凶为吉。",
             // 震 and 乾 hold the facing stars 五 and 二: kept for air, which the robbery needs, never opened.
             "★北斗七星离宫打劫(离震乾)，以现在之运劫未来之气，可以变祸为福；震、乾方只宜通气，以通三宫之气。",
             "★文昌位：坎，此方位适合读书人居住，有利于学业功名；此为玄空飞星一四同宫之文昌，八宅宅卦之文昌在艮宫，二法各论。",
             // 巽 holds the facing star 四, dead in 八运: the timely gate star cannot be used there.
             "★正城门:巽(八-旺，不作城门用)，副城门:坤(二-死)。",
             "★此步元运，八(旺)，九(生)，一(生)，二(死)，三(死)，四(煞)，五(煞)，六(煞)，七(退)。",
             "◎八运-天元龙子山午向。",
         })
        EXPECT_TRUE(HasLine(lines, Q(line))) << line;
    // Only what this house has: no 兼 advice, no whole-chart pattern, no 坎宫打劫.
    for (const char *start : {"★此房座山偏离正向", "★全局", "★北斗七星坎宫打劫", "★对宫合十", "☆此为上山下水"})
        for (const QString &l : lines)
            EXPECT_FALSE(l.startsWith(Q(start))) << l.toStdString();

    // The sections in their order, the sitting and facing palaces first and the centre last.
    const char *order[] = {"--------------------------------------------", "玄空法断宅：", "挨星下卦:",
                           "【正北:坎宫-壬子癸】 子山", "【正南:离宫-丙午丁】 午向", "【东北:艮宫-丑艮寅】",
                           "【正东:震宫-甲卯乙】", "【东南:巽宫-辰巽巳】", "【西南:坤宫-未坤申】",
                           "【正西:兑宫-庚酉辛】", "【西北:乾宫-戌乾亥】", "【中心:中宫-戊己】", "建宅选择：",
                           "玄空山运断："};
    qsizetype last = -1;
    for (const char *title : order) {
        const qsizetype at = lines.indexOf(Q(title), last + 1);
        EXPECT_GT(at, last) << title;
        last = at;
    }

    // A palace without flags has its title and star line only.
    const QStringList gen = Section(lines, Q("【东北:艮宫-丑艮寅】"), Q("【"));
    EXPECT_EQ(gen, (QStringList{Q("【东北:艮宫-丑艮寅】"), Q("★山星7(退)，向星9(生)，运星2(死)。"), QString()}));
    const QStringList sun = Section(lines, Q("【东南:巽宫-辰巽巳】"), Q("【"));
    EXPECT_EQ(sun, (QStringList{Q("【东南:巽宫-辰巽巳】"), Q("★山星3(死)，向星4(煞)，运星7(退)。"),
                                Q("★合十：山星和运星。"), Q("☆伏吟：向星和地盘。"), QString()}));
    // The two timely stars meet in the facing palace: the pattern is said there, not under the sitting palace.
    const QStringList kan = Section(lines, Q("【正北:坎宫-壬子癸】 子山"), Q("【"));
    const QStringList li = Section(lines, Q("【正南:离宫-丙午丁】 午向"), Q("【"));
    EXPECT_TRUE(li.contains(Q("●此宫双星会向。")));
    EXPECT_FALSE(kan.contains(Q("●此宫双星会向。")));
    EXPECT_FALSE(kan.contains(Q("●此宫双星会坐。")) || li.contains(Q("●此宫双星会坐。")));
    // The ruling-star texts of the sitting palace: 九 over 七.
    EXPECT_TRUE(HasLine(lines, Q("★山方主星") + LoadStr(409)));
    EXPECT_TRUE(HasLine(lines, Q("★山星-向星组合，主事:") + LoadStr(497)));
    EXPECT_TRUE(HasLine(lines, Q("★向方主星") + LoadStr(408)));
    EXPECT_TRUE(HasLine(lines, Q("★向星-山星组合，主事:") + LoadStr(488)));

    // The plain text kept beside the pane is the same reading.
    EXPECT_EQ(ReportParagraphs(q.sReport), lines);
}

TEST(XuanKongReading, FacingPalaceOfAWangShanWangXiangHouseIsNotCalledShangShanXiaShui)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData r = ReferenceHouse();
    r.mountain = 4 * 3 + 1; // 丑山未向, period 8
    r.degree = 30.0f;
    ASSERT_TRUE(q.PaiPan(r)) << q.sMessage.toStdString();
    const QStringList lines = PaneLines(q);
    // Each half of the pattern under the palace that holds it: the timely mountain star at the sitting, the
    // timely facing star at the facing.
    const std::pair<const char *, const char *> halves[2] = {{"【东北:艮宫-丑艮寅】 丑山", "★此宫旺山：当令山星到坐。"},
                                                            {"【西南:坤宫-未坤申】 未向", "★此宫旺向：当令向星到向。"}};
    for (const auto &[palace, half] : halves) {
        const QStringList section = Section(lines, Q(palace), Q("【"));
        ASSERT_FALSE(section.isEmpty()) << palace;
        EXPECT_TRUE(section.contains(Q(half))) << palace;
        for (const QString &l : section)
            EXPECT_FALSE(l.contains(Q("上山")) || l.contains(Q("下水"))) << l.toStdString();
    }
}

TEST(XuanKongReading, ChartGrid)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    const QString grid = Q("┌───┬───┬───┐\r\n"
                           "│ ３４ │ ８８ │ １６ │\r\n"
                           "│　七　│　三　│　五　│\r\n"
                           "├───┼───┼───┤\r\n"
                           "│ ２５ │ ４３ │ ６１ │\r\n"
                           "│　六　│　八　│　一　│\r\n"
                           "├───┼───┼───┤\r\n"
                           "│ ７９ │ ９７ │ ５２ │\r\n"
                           "│　二　│　四　│　九　│\r\n"
                           "└───┴───┴───┘\r\n");
    EXPECT_EQ(MQuorin::ChartGridText(q.XiaGua), grid);
    // In the pane the grid follows its heading line and is followed by the mountain text.
    const QStringList lines = PaneLines(q);
    const qsizetype at = lines.indexOf(Q("◎八运-天元龙子山午向。"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.mid(at + 1, 10), ReportParagraphs(grid).mid(0, 10));
    EXPECT_TRUE(lines[at + 11].startsWith(Q("  子山午向")));
}

TEST(XuanKongReading, TiGuaCaseUsesItsOwnStars)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.xiaGua = 0;
    rec.mountain = 4 * 1 + 2;
    rec.degree = 5.5f;
    rec.door = 0; // 壬: 地元, the facing 午 is 天元
    ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    const QStringList lines = PaneLines(q);
    // The door's palace is quiet in this chart: the door line says so and where a door may stand instead.
    EXPECT_TRUE(HasLine(lines, Q("★房屋朝向与门向不属于同一元；且门在坐山正北坎宫，本运向星六(煞)，宜静，不宜开门，"
                                 "宜改门于东北艮宫、正西兑宫、西北乾宫。")));
    // Already the replacement chart: it says why, and does not advise taking it.
    EXPECT_TRUE(HasLine(lines, Q("★此房座山兼癸，偏离正向5度30分，所排为替卦盘。")));
    EXPECT_FALSE(HasLine(lines, Q("★此房座山偏离正向超过4.5度，可以考虑用兼向，采用替卦布宅局。")));
    EXPECT_TRUE(HasLine(lines, Q("挨星替卦:")));
    EXPECT_FALSE(HasLine(lines, Q("挨星下卦:")));
    // The degree leans from 子 towards 癸: the header names that side only.
    EXPECT_TRUE(HasLine(lines, Q("◎八运-子山午向，兼(癸-丁)。")));
    EXPECT_TRUE(HasLine(lines, Q("★说明如下：")));
    EXPECT_TRUE(HasLine(lines, Q("│ ５３ │ １７ │ ３５ │")));

    // The sitting palace's star line and its ruling-star texts come from the 替卦 chart the case uses.
    const int m = q.TiGua[0][0] == 0 ? 9 : q.TiGua[0][0];
    const int f = q.TiGua[0][1] == 0 ? 9 : q.TiGua[0][1];
    ASSERT_NE(q.TiGua[0][0], q.XiaGua[0][0]);
    EXPECT_TRUE(HasLine(lines, Q("★山星%1(%2)，向星%3(%4)，运星4(煞)。")
                                   .arg(m)
                                   .arg(U(XingStateName[StarStateIndex(m, 8)]))
                                   .arg(f)
                                   .arg(U(XingStateName[StarStateIndex(f, 8)]))));
    EXPECT_TRUE(HasLine(lines, Q("★山方主星") + LoadStr(400 + m)));
    EXPECT_TRUE(HasLine(lines, Q("★山星-向星组合，主事:") + LoadStr(400 + 10 * m + f)));
    // The 山运断 bank of 替卦.
    const qsizetype at = lines.indexOf(Q("玄空山运断："));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], LoadStr(11000 + 960 * 7 + 40).trimmed());
}

TEST(XuanKongReading, BuildChoice)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.buildYear = 2024; // period 9, stored 0
    ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
    QStringList lines = PaneLines(q);
    EXPECT_EQ(Section(lines, Q("建宅选择："), Q("---")),
              (QStringList{Q("建宅选择："), Q("◎(甲辰)建宅，当年飞星三碧入中。"), Q("  地盘太岁:辰，飞星太岁:乾。"),
                           Q("  年三煞:巳、午、未。"), Q("●以上太岁、三煞所临和对冲之方，不宜坐山立向和修造。")}));
    // Period 9 reads the ninth block of the bank.
    qsizetype at = lines.indexOf(Q("玄空山运断："));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], LoadStr(2000 + 960 * 8 + 40).trimmed());

    rec.buildYear = 2004;
    ASSERT_TRUE(q.PaiPan(rec));
    lines = PaneLines(q);
    EXPECT_TRUE(HasLine(lines, Q("◎(甲申)建宅，当年飞星五黄入中。")));
    EXPECT_TRUE(HasLine(lines, Q("  地盘太岁:申，飞星太岁:坤。")));
    EXPECT_TRUE(HasLine(lines, Q("  年三煞:巳、午、未。"))); // 申 year: 三煞 in the south as well
    at = lines.indexOf(Q("玄空山运断："));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], LoadStr(2000 + 960 * 7 + 40).trimmed());
}

} // namespace
