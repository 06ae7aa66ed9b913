#include "MQuorin.h"

#include "AppPath.h"
#include "ChartRules.h"
#include "ChartSettings.h"
#include "FlyStarCalc.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr const char *kRefLabels[4] = {"山", "命", "向", "门"};

// An integer setting that indexes a choice: outside 0..max it reads as the default, never as a stray index.
uint8_t Choice(int v, int max, int def) { return static_cast<uint8_t>(v >= 0 && v <= max ? v : def); }
} // namespace

MQuorin::MQuorin(QTextDocument *report, QImage *chartPicture, QImage *floorPlan) : DateEx(MakeProgramCalendar())
{
    pRedt = report;
    pImg = chartPicture;
    pImgBk = floorPlan;
    // The geometry follows the pictures as they are now; SetPanSize and the floor-plan operations keep it in
    // step afterwards.
    if (pImg && !pImg->isNull()) {
        fPanWidth = float(pImg->width());
        fPanHeight = float(pImg->height());
        fRadius = fPanWidth / 2;
        fCenterX = fPanWidth / 2;
        fCenterY = fPanHeight / 2;
    }
    if (pImgBk && !pImgBk->isNull()) {
        iBkWidth = pImgBk->width();
        iBkHeight = pImgBk->height();
        iBkRadius = iBkCenterX = iBkWidth / 2;
        iBkCenterY = iBkHeight / 2;
    }
    pBkBitmap = std::make_shared<QImage>(iBkOrigWidth, iBkOrigHeight, QImage::Format_RGB32);
    pBkBitmap->fill(Qt::white);
    sTempPath = DataPath() + QStringLiteral("picTemp/");
    LoadSettings();
    uint8_t show[4] = {0, 0, 0, 0};
    show[fuwei] = 1;
    SetShowGua(show);
    StarColours(0, 0, XingColor);
}

MQuorin::~MQuorin() = default;

void MQuorin::LoadSettings()
{
    const ChartSettings defaults;
    const ChartSettings s = ReadChartSettings(defaults);
    ileft = s.ileft;
    liunian = Choice(s.liunian, 1, defaults.liunian);
    fuwei = Choice(s.fuwei, 3, defaults.fuwei);
    iCoord = Choice(s.iCoord, 2, defaults.iCoord);
    const double jian = s.fJian;
    // A non-positive width would make every degree off the exact centre a 兼; one past what a float holds would
    // turn into infinity.
    const bool usable = std::isfinite(jian) && jian > 0 && jian <= std::numeric_limits<float>::max();
    fJian = static_cast<float>(usable ? jian : defaults.fJian);
    bZhouTian = s.bZhouTian;
    bWuHint = s.bWuHint;
    iTilt = Choice(s.iTilt, 2, defaults.iTilt);
    bChengMen = s.bChengMen;
}

int MQuorin::SetShowGua(const uint8_t show[4])
{
    LoadSettings();
    if (!show[fuwei]) {
        sMessage = QStringLiteral("设定了伏位的卦必须显示！");
        return fuwei + 1;
    }
    GuaCount = 0;
    for (int i = 0; i < 4; ++i) {
        const int g = (fuwei + i) % 4;
        if (!show[g])
            continue;
        GuaKind[GuaCount] = static_cast<uint8_t>(g);
        GuaLabel[GuaCount] = QString::fromUtf8(kRefLabels[g]);
        GuaColor[GuaCount] = kGuaSlotColor[GuaCount];
        ++GuaCount;
    }
    constexpr float rA = (0.55f - 0.15f) * 7 / 10 + 0.15f;
    constexpr float rB = (0.55f - 0.15f) * 3 / 10 + 0.15f;
    struct Slot {
        float angle, radius;
        uint8_t col, row;
    };
    static const Slot kLayouts[4][4] = {
        {{0, rA, 2, 2}},
        {{11.25f, rA, 1, 2}, {-11.25f, rA, 3, 2}},
        {{11.25f, rA, 2, 1}, {-11.25f, rA, 1, 3}, {0, rB, 3, 3}},
        {{11.25f, rA, 1, 1}, {-11.25f, rA, 3, 1}, {11.25f, rB, 1, 3}, {-11.25f, rB, 3, 3}},
    };
    GuaAngle = {};
    GuaRadius = {};
    GuaCell = {};
    for (int i = 0; i < GuaCount; ++i) {
        const Slot &s = kLayouts[GuaCount - 1][i];
        GuaAngle[i] = s.angle;
        GuaRadius[i] = s.radius;
        GuaCell[2 * i] = s.col;
        GuaCell[2 * i + 1] = s.row;
    }
    return 0;
}

void MQuorin::ClearResults()
{
    Results() = {};
    // The drawing of a refused case is not turned; a lay-out sets the turn of its own.
    PanAngle = 0;
    RingOffset = 0;
}

bool MQuorin::CalcChart(const TRecordData &rec)
{
    LoadSettings();
    return ComputeChart(rec);
}

// Everything a stored case feeds into a table index is checked here, before any table is read: a bad case is
// refused with a message.
bool MQuorin::CheckCase()
{
    if (!IsMountainItem(Rec.mountain)) {
        sMessage = QStringLiteral("请选择坐山！");
        return false;
    }
    ZuoShan = static_cast<int16_t>(Rec.mountain / 4);
    BuildYear = Rec.buildYear;
    if (Rec.door > 23) {
        sMessage = QStringLiteral("请选择门向！");
        return false;
    }
    if (BuildYear < 44) {
        sMessage = QStringLiteral("建宅年份在公元44年以后的才可算");
        return false;
    }
    if (!CheckDegree())
        return false;
    if (Rec.date.month < 0) {
        sMessage = QStringLiteral("宅主生日：不存在这个日期");
        return false;
    }
    return true;
}

bool MQuorin::ComputeChart(const TRecordData &rec)
{
    Rec = rec;
    ClearResults();
    sMessage.clear();
    if (!CheckCase())
        return false;

    if (Rec.date.month > 0) {
        if (!CheckBirthDate()) {
            sMessage = QStringLiteral("宅主生日：") + sMessage;
            return false;
        }
        BirthGanZhi();
        MingYear = static_cast<int16_t>(MingYearOf(BirthGong, SiZhu[0]));
        MingGanZhi = SiZhu[0];
    } else {
        MingYear = Rec.date.year;
        MingGanZhi = static_cast<int16_t>(YearGanZhi(MingYear));
    }
    BuildGanZhi = static_cast<int16_t>(YearGanZhi(BuildYear));
    Yun = PeriodOfYear(BuildYear);
    MingYun = PeriodOfYear(MingYear);

    PanAngle = PanAngleFor(iCoord, Rec.degree);
    CalcDegreeResults();
    CalcStarTables();
    return true;
}

void MQuorin::CalcDegreeResults()
{
    const DegMin off = ToDegMin(DistanceFromCentre(ZuoShan, Rec.degree));
    PianDu = static_cast<int16_t>(off.deg);
    PianFen = static_cast<int16_t>(off.min);
    switch (Rec.mountain % 4) {
    case 2:
        JianShan = static_cast<int16_t>((ZuoShan + 1) % 24);
        JianSide = 1;
        break;
    case 0:
        JianShan = static_cast<int16_t>((ZuoShan + 23) % 24);
        JianSide = -1;
        break;
    default:
        JianShan = -1;
        JianSide = 0;
        break;
    }
    GuaIndex = static_cast<uint8_t>(HexagramOfDegree(Rec.degree));
}

void MQuorin::CalcStarTables()
{
    CalcBaZhai();
    CalcXiaGua();
    CalcTiGua();
    CalcGong();
    CalcChengMen();
    CalcColors();
}

bool MQuorin::ReCalcForDegree()
{
    const double item = DegreeToItem(Rec.degree);
    if (item < 0) {
        sMessage = QStringLiteral("这个周天度不在这个座山内,请确认一下周天度。");
        return false;
    }
    Rec.mountain = static_cast<uint8_t>(item);
    ZuoShan = static_cast<int16_t>(Rec.mountain / 4);
    if (!CheckDegree())
        return false;
    CalcDegreeResults();
    CalcStarTables();
    return true;
}

// ---- star tables ----

void MQuorin::CalcBaZhai()
{
    const int trigrams[4] = {
        MountainTrigram(ZuoShan),
        LifeTrigram(MingYear, Rec.sex != 0),
        MountainTrigram(FacingMountain(ZuoShan)),
        MountainTrigram(Rec.door % 24),
    };
    for (int i = 0; i < 4; ++i)
        BaZhai[i] = MakeBaZhaiRecord(trigrams[i]);
    BaZhaiFuWei = BaZhai[fuwei % 4];
}

void MQuorin::CalcXiaGua() { XiaGua = XiaGuaChart(ZuoShan, Yun); }

void MQuorin::CalcTiGua() { TiGua = TiGuaChart(ZuoShan, Yun); }

void MQuorin::CalcChengMen()
{
    FlyChart chosen{};
    for (int p = 0; p < 9; ++p)
        chosen[p] = {Gong[p][0], Gong[p][1], Gong[p][2]};
    ChengMen = CityGates(ZuoShan, Yun, chosen);
}

int MQuorin::SanBanGua(int a, int b, int c) { return ::SanBanGua(a, b, c); }

void MQuorin::CalcGong()
{
    Gong = MakePalaceRecords(Rec.xiaGua ? XiaGua : TiGua, Yun);
    const auto jie = DaJie(Gong, ZuoShan, Yun);
    DaJieLi = jie[0];
    DaJieKan = jie[1];
}

void MQuorin::CalcColors() { StarColours(Rec.colour, Yun, XingColor); }

void MQuorin::FlyStars(uint8_t year[9], uint8_t month[9], uint8_t neiQi[9])
{
    LoadSettings();
    const OverlayStars s = CalcOverlayStars(iLiuNianYear, iLiuNianMonth, liunian == 1, Rec.door % 24, XiaGua);
    std::copy(s.year.begin(), s.year.end(), year);
    std::copy(s.month.begin(), s.month.end(), month);
    std::copy(s.neiQi.begin(), s.neiQi.end(), neiQi);
}
