// The lay-out road: refusals, what a refusal leaves, the view commands and the formatting of the pane.
#include "ReportTestUtil.h"

#include "ChartPainterQuorin.h"
#include "Resources.h"
#include "WinColor.h"

#include <cmath>
#include <map>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>

namespace {

struct Refusal {
    const char *what;
    TRecordData rec;
    const char *message;
};

std::vector<Refusal> Refusals()
{
    std::vector<Refusal> list;
    TRecordData r = ReferenceHouse();
    r.buildYear = 43;
    list.push_back({"building year 43", r, "建宅年份在公元44年以后的才可算"});
    r = ReferenceHouse();
    r.degree = 30.0f; // 癸, not 子
    list.push_back({"degree outside the mountain", r, "这个周天度不在这个座山内,请确认一下周天度。"});
    r = ReferenceHouse();
    r.lunar = 1;
    r.leap = 1;
    r.date = TDateRec{2023, 5, 1, 12, 0}; // 2023 has no leap 五月
    list.push_back({"lunar date that does not exist", r, "宅主生日：不存在这个农历日期，无法转换到公历！"});
    r.leap = 0;
    r.date = TDateRec{50, 1, 1, 0, 0};
    list.push_back({"lunar year out of range", r, "宅主生日：时间越界，年份在100到9999之间"});
    r = ReferenceHouse();
    r.date = TDateRec{2023, 2, 29, 12, 0};
    list.push_back({"Gregorian date that does not exist", r, "宅主生日：不存在这个日期"});
    r.date = TDateRec{50, 3, 1, 12, 0};
    list.push_back({"Gregorian year out of range", r, "宅主生日：公、农历正常转换年份在100到9999之间"});
    return list;
}

TEST(PaiPan, RefusalsKeepThePreviousReport)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    const QString report = q.ReportDocument()->toPlainText();
    const QString plain = q.sReport;
    for (const Refusal &r : Refusals()) {
        EXPECT_FALSE(q.PaiPan(r.rec)) << r.what;
        EXPECT_EQ(q.sMessage, Q(r.message)) << r.what;
        EXPECT_EQ(q.ReportDocument()->toPlainText(), report) << r.what;
        EXPECT_EQ(q.sReport, plain) << r.what;
        // The refused case leaves no chart behind for the view commands to write about.
        EXPECT_FALSE(q.ShowXuanKongPan()) << r.what;
        EXPECT_FALSE(q.ShowBaZhaiPan()) << r.what;
        EXPECT_EQ(q.ReportDocument()->toPlainText(), report) << r.what;
        ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    }
    // The first year that can be laid out.
    TRecordData first = ReferenceHouse();
    first.buildYear = 44;
    ASSERT_TRUE(q.PaiPan(first)) << q.sMessage.toStdString();
    EXPECT_TRUE(q.sHeader.contains(Q("建宅年份：甲辰(44年)九运离宫。")));
}

int Inked(const QImage &img)
{
    int n = 0;
    for (int y = 8; y < img.height() - 8; y += 4)
        for (int x = 8; x < img.width() - 8; x += 4)
            n += qGray(img.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

TEST(PaiPan, DrawsTheViewAndARefusalKeepsThePicture)
{
    TempProgramFolder folder;
    QImage picture(500, 580, QImage::Format_RGB32);
    MQuorin q(nullptr, &picture);
    SetQuorinPanSize(q, 500, 580, false);
    const QImage blank = picture.copy();
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    EXPECT_GT(Inked(picture), 100);
    const QImage drawn = picture.copy();
    TRecordData bad = ReferenceHouse();
    bad.buildYear = 43;
    EXPECT_FALSE(q.PaiPan(bad));
    EXPECT_EQ(picture, drawn);

    // On the round chart a case saved in an annual view is not drawn by the lay-out.
    SetQuorinPanSize(q, 500, 580, false);
    q.iPanShape = 0;
    TRecordData annual = ReferenceHouse();
    annual.chartPanel = 2;
    ASSERT_TRUE(q.PaiPan(annual));
    EXPECT_EQ(picture, blank);
    // The view commands draw their view.
    ASSERT_TRUE(q.ShowBaZhaiPan());
    EXPECT_GT(Inked(picture), 100);
}

TEST(PaiPan, ViewCommands)
{
    TempProgramFolder folder;
    MQuorin q;
    EXPECT_FALSE(q.ShowXuanKongPan()); // nothing laid out yet
    EXPECT_TRUE(q.ReportDocument()->isEmpty());

    TRecordData rec = ReferenceHouse();
    rec.chartPanel = 1;
    ASSERT_TRUE(q.PaiPan(rec));
    // The lay-out writes the Xuan Kong reading whatever view the case was saved with.
    const QString xuanKong = q.ReportDocument()->toPlainText();
    EXPECT_TRUE(xuanKong.contains(Q("玄空法断宅：")));
    EXPECT_EQ(q.Rec.chartPanel, 1);

    ASSERT_TRUE(q.ShowBaZhaiPan());
    EXPECT_EQ(q.Rec.chartPanel, 1);
    const QString baZhai = q.ReportDocument()->toPlainText();
    EXPECT_TRUE(baZhai.startsWith(q.sHeader.left(10)));
    EXPECT_TRUE(baZhai.contains(Q("八宅法断宅：")));
    EXPECT_FALSE(baZhai.contains(Q("玄空法断宅：")));

    ASSERT_TRUE(q.ShowXuanKongPan());
    EXPECT_EQ(q.Rec.chartPanel, 0);
    EXPECT_EQ(q.ReportDocument()->toPlainText(), xuanKong);
}

TEST(PaiPan, PaneFormatting)
{
    TempProgramFolder folder("[set]\nileft=12\n");
    QTextDocument pane;
    QFont font = pane.defaultFont();
    font.setPointSize(13);
    pane.setDefaultFont(font);
    MQuorin q(&pane);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    ASSERT_EQ(q.ReportDocument(), &pane);

    struct Seen {
        uint32_t colour;
        bool bold;
    };
    std::map<QString, Seen> seen;
    int blocks = 0;
    for (QTextBlock b = pane.begin(); b.isValid(); b = b.next(), ++blocks) {
        EXPECT_DOUBLE_EQ(b.blockFormat().textIndent(), 16.0); // 12 points at 96 pixels an inch
        EXPECT_EQ(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_DOUBLE_EQ(f.fontPointSize(), 13.0);
            seen[b.text()] = {QColorToWinColor(f.foreground().color()), f.fontWeight() == QFont::Bold};
        }
    }
    EXPECT_EQ(blocks, ReportParagraphs(q.sReport).size());
    auto check = [&](const char *line, uint32_t colour, bool bold) {
        const auto it = seen.find(Q(line));
        ASSERT_NE(it, seen.end()) << line;
        EXPECT_EQ(it->second.colour, colour) << line;
        EXPECT_EQ(it->second.bold, bold) << line;
    };
    check("宅主：张三   乾造：庚申-坤宫(1980年，中元六乾运)", 0x000000, false);
    check("玄空法断宅：", 0xFF0000, true);
    check("★座山属天元龙大门宜开在天元龙方。", 0x000000, false);
    check("挨星下卦:", 0x0000FF, true);
    check("【正北:坎宫-壬子癸】 子山", 0x0000FF, false);
    check("【正南:离宫-丙午丁】 午向", 0x0000FF, false);
    check("【东北:艮宫-丑艮寅】", 0xFF0000, false);
    check("建宅选择：", 0x0000FF, true);
    check("玄空山运断：", 0x0000FF, true);

    ASSERT_TRUE(q.ShowBaZhaiPan());
    seen.clear();
    for (QTextBlock b = pane.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            seen[b.text()] = {QColorToWinColor(it.fragment().charFormat().foreground().color()),
                              it.fragment().charFormat().fontWeight() == QFont::Bold};
    check("房屋八方吉凶断：", 0x0000FF, true);
    check("★宅主房间宜居天乙、生气、延年、伏位方，大门可根据地形在这四个方位中选择一个。", 0x000000, false);
}

TEST(PaiPan, ShanYunBankLinesAreCleaned)
{
    TempProgramFolder folder;
    MQuorin q;
    // Every block of both banks: no "NewLine" marker, no blank at either end, and the block's first line on top.
    for (int period = 1; period <= 9; ++period) {
        for (int m = 0; m < 24; m += 5) {
            for (uint8_t xia : {uint8_t(1), uint8_t(0)}) {
                TRecordData rec = ReferenceHouse();
                rec.buildYear = static_cast<int16_t>(1864 + 20 * (period - 1));
                rec.mountain = static_cast<uint8_t>(4 * m + 1);
                rec.degree = static_cast<float>(std::fmod(m * 15 + 345, 360));
                rec.xiaGua = xia;
                ASSERT_TRUE(q.PaiPan(rec)) << q.sMessage.toStdString();
                const QStringList lines = PaneLines(q);
                const qsizetype at = lines.indexOf(Q("玄空山运断："));
                ASSERT_GE(at, 0);
                const int base = (xia ? 2000 : 11000) + 960 * (period - 1) + 40 * m;
                EXPECT_EQ(lines[at + 1], LoadStr(base).trimmed()) << period << " " << m;
                for (qsizetype i = at + 1; i < lines.size(); ++i) {
                    EXPECT_NE(lines[i], Q("NewLine"));
                    EXPECT_EQ(lines[i], lines[i].trimmed());
                }
            }
        }
    }
}

TEST(PaiPan, WithoutAPaneTheObjectKeepsItsOwnDocument)
{
    TempProgramFolder folder;
    MQuorin q;
    QTextDocument *doc = q.ReportDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(q.ReportDocument(), doc);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    EXPECT_EQ(ReportParagraphs(doc->toPlainText()), ReportParagraphs(q.sReport));
}

TEST(ReportSpans, ParagraphBreaks)
{
    EXPECT_EQ(ReportParagraphs(Q("a\r\nb\nc")), (QStringList{Q("a"), Q("b"), Q("c")}));
    EXPECT_EQ(ReportParagraphs(Q("a\r\n")), (QStringList{Q("a"), QString()}));
    EXPECT_EQ(ReportParagraphs(QString()), QStringList{QString()});
    ReportSpans p;
    p.Add(Q("x\r\n"));
    p.Add(Q("y"));
    EXPECT_EQ(p.PlainText(), Q("x\r\n\r\ny"));
}

} // namespace
