#include "MQuorin.h"

#include "ChartRules.h"
#include "MYiDateEx.h"
#include "ReportNames.h"
#include "ReportSpans.h"

#include <QTextDocument>

using namespace report;

bool MQuorin::PaiPan(const TRecordData &rec)
{
    if (!CalcChart(rec)) {
        // The header belongs to the results that were just cleared; the picture and the pane keep the last
        // successful lay-out until the next one.
        sHeader.clear();
        return false;
    }
    DrawChart();
    sHeader = HeaderText();
    WriteXuanKongReport();
    return true;
}

bool MQuorin::ShowXuanKongPan()
{
    if (!LaidOut())
        return false;
    Rec.chartPanel = 0;
    LoadSettings();
    DrawChart();
    return RewriteReport(false);
}

bool MQuorin::ShowBaZhaiPan()
{
    if (!LaidOut())
        return false;
    Rec.chartPanel = 1;
    LoadSettings();
    DrawChart();
    return RewriteReport(true);
}

bool MQuorin::RewriteReport(bool baZhai)
{
    if (!LaidOut())
        return false;
    // The house may have changed since the lay-out (a turn of the axis recomputes it): the header is the
    // house's as it stands, like the rest of the reading.
    sHeader = HeaderText();
    if (baZhai)
        WriteBaZhaiReport();
    else
        WriteXuanKongReport();
    return true;
}

QTextDocument *MQuorin::ReportDocument()
{
    if (pRedt)
        return pRedt;
    if (!pOwnReport)
        pOwnReport = std::make_shared<QTextDocument>();
    return pOwnReport.get();
}

void MQuorin::WriteReport(const ReportSpans &pieces)
{
    sReport = pieces.PlainText();
    WriteReportDocument(*ReportDocument(), pieces, ileft);
}

void MQuorin::WriteXuanKongReport()
{
    ReportSpans pieces;
    XuanKongText(pieces);
    if (Rec.xiaGua)
        XiaGuaText(pieces);
    else
        TiGuaText(pieces);
    PalaceTexts(pieces);
    BuildChoiceText(pieces);
    ShanYunText(pieces);
    WriteReport(pieces);
}

void MQuorin::WriteBaZhaiReport()
{
    ReportSpans pieces;
    BaZhaiText(pieces);
    WriteReport(pieces);
}

QString MQuorin::BirthDateText() const
{
    QString t = QStringLiteral("(%1 %2 %3 %4，").arg(GanZhi(SiZhu[0]), GanZhi(SiZhu[1]), GanZhi(SiZhu[2]),
                                                     GanZhi(SiZhu[3]));
    t += QStringLiteral("%1-%2-%3 %4:%5，")
             .arg(BirthGong.year)
             .arg(BirthGong.month)
             .arg(BirthGong.day)
             .arg(BirthGong.hour)
             .arg(BirthGong.minute);
    // There is no lunar year 0: the year before 1 is written as the first year "before".
    const int year = BirthNong.year < 1 ? BirthNong.year - 1 : BirthNong.year;
    t += U(MYiDateEx::ChineseNum(year)) + QStringLiteral("年");
    if (BirthLeap)
        t += QStringLiteral("闰");
    t += (BirthNong.month == 1 ? QStringLiteral("正") : U(MYiDateEx::ChineseNum(BirthNong.month))) +
         QStringLiteral("月");
    if (BirthNong.day < 11)
        t += QStringLiteral("初");
    t += U(MYiDateEx::ChineseNum(BirthNong.day)) + QStringLiteral("日");
    return t;
}

QString MQuorin::HeaderText() const
{
    static constexpr std::string_view kYuan[3] = {"上元", "中元", "下元"};
    QString h = QStringLiteral("宅主：") + Rec.name;
    h += Rec.sex ? QStringLiteral("   乾造：") : QStringLiteral("   坤造：");
    h += QStringLiteral("%1-%2宫").arg(GanZhi(MingGanZhi), Trigram(BaZhai[1][0]));
    if (Rec.date.month > 0)
        h += BirthDateText();
    else
        h += QStringLiteral("(%1年").arg(MingYear);
    h += QStringLiteral("，%1%2%3运)").arg(U(kYuan[YuanIndex(MingYun)]), Numeral(MingYun), Trigram(MingYun));
    h += QStringLiteral("\r\n建宅年份：%1(%2年)%3运%4宫。\n")
             .arg(GanZhi(BuildGanZhi))
             .arg(BuildYear)
             .arg(Numeral(Yun), Trigram(Yun));

    h += QStringLiteral("坐向：%1山%2向").arg(Mountain(ZuoShan), Mountain(FacingMountain(ZuoShan)));
    if (JianShan != -1)
        h += QStringLiteral("兼%1%2").arg(Mountain(JianShan), Mountain(FacingMountain(JianShan)));
    h += QStringLiteral("(%1宅)").arg(Trigram(MountainTrigram(ZuoShan)));
    // Degrees and minutes of the compass reading, the minutes carried so that 0.9999° reads 1:0, not 0:60.
    DegMin dm = ToDegMin(FloorModD(Rec.degree, 360.0));
    if (dm.deg >= 360)
        dm.deg -= 360;
    h += QStringLiteral("，周天度=%1:%2（%3）\r\n").arg(dm.deg).arg(dm.min).arg(U(Gua64(GuaIndex)));
    h += QStringLiteral("门向：%1方。").arg(Mountain(Rec.door));
    return h;
}
