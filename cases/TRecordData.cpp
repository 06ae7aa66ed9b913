#include "TRecordData.h"

#include <QList>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// The column formats of the create statement, one per column of kCaseColumns.
constexpr std::array<const char *, kCaseColumnCount> kColumnTypes{
    " integer primary key,", " char(20),", " integer,", " char(20),", " integer,", " char(30),", " char(5),",
    " char(30),", " varchar(150),", " char(40),", " char(50),", " varchar(100),", " varchar(100),",
    " varchar(6),", " varchar(30),", " text);"};

enum Column {
    ColId, ColName, ColSex, ColClassName, ColDateY, ColDateNum, ColDateStyle, ColAddrInd,
    ColAddrName, ColAddrNum, ColRemarkFile, ColTag1, ColTag2, ColHousePanel, ColJianShan, ColRemarkText
};

constexpr QChar kSep{QLatin1Char(kValueSeparator)};

// Whole characters: a surrogate pair is one character and is kept or dropped as one.
QString LeftChars(const QString &text, int maxChars)
{
    qsizetype i = 0;
    for (int n = 0; n < maxChars && i < text.size(); ++n)
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
    return text.left(i);
}

// A number in the C locale: ASCII only, surrounding blanks allowed, a leading '+' allowed, nothing else around
// it. Parsed with from_chars, which never looks at a locale.
template <typename N>
bool ParseNumber(QStringView text, N &out)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    char buf[64];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof buf))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7e)
            return false;
        buf[i] = char(c);
    }
    const char *end = buf + text.size();
    const auto [ptr, ec] = std::from_chars(buf, end, out);
    return ec == std::errc() && ptr == end;
}

// An integer sub-value; a text that is not a number, or a number the field cannot hold, gives the default.
template <typename T>
T ToIntDef(QStringView text, T def)
{
    long long v = 0;
    if (!ParseNumber(text, v) || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        return def;
    return static_cast<T>(v);
}

float ToFloatDef(QStringView text, float def)
{
    double v = 0;
    if (!ParseNumber(text, v) || !std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max())
        return def;
    return static_cast<float>(v);
}

// The sub-values of one column, as views into its text (a column holds at most seven, a damaged one more). Not a
// QVarLengthArray: Qt 6.4's move assignment of one leaks the heap buffer it held, which a damaged column reaches.
using SubValues = QList<QStringView>;

// Finds the first separator; while it stands after the first character, the part before it is one item. A
// rest that is empty is dropped, a rest that starts with the separator is kept whole.
SubValues Split(QStringView text)
{
    SubValues parts;
    for (;;) {
        const qsizetype sep = text.indexOf(kSep);
        if (sep <= 0)
            break;
        parts.append(text.left(sep));
        text = text.mid(sep + 1);
    }
    if (!text.isEmpty())
        parts.append(text);
    return parts;
}

// Sub-value i read with its default; an absent sub-value also gives the default.
template <typename T>
T IntAt(const SubValues &sub, qsizetype i, T def)
{
    return i < sub.size() ? ToIntDef<T>(sub[i], def) : def;
}

float FloatAt(const SubValues &sub, qsizetype i, float def) { return i < sub.size() ? ToFloatDef(sub[i], def) : def; }

QString Num(qlonglong v) { return QString::number(v); }
QString Fixed(float v, int decimals) { return QString::number(double(v), 'f', decimals); }
QString Flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QString JoinSub(std::initializer_list<QString> parts) { return QStringList(parts).join(kSep); }

} // namespace

bool IsIntegerColumn(int column)
{
    return column == ColId || column == ColSex || column == ColDateY;
}

QStringList DefaultClasses()
{
    return {QStringLiteral("私人别墅"), QStringLiteral("小区套房"), QStringLiteral("自建民居"),
            QStringLiteral("公司大夏"), QStringLiteral("古代老宅"), QStringLiteral("标志建筑"),
            QStringLiteral("其他建筑"), QStringLiteral("临时保存")};
}

QString CreateDataTableSql()
{
    QString sql = QStringLiteral("create table case_data(");
    for (int i = 0; i < kCaseColumnCount; ++i)
        sql += QLatin1String(kCaseColumns[i]) + QLatin1String(kColumnTypes[i]);
    return sql;
}

QString CreateExtraTableSql()
{
    QString cols;
    for (const char *c : kExtraColumns)
        cols += QLatin1String(c) + QLatin1Char(',');
    cols.chop(1);
    return QStringLiteral("create table case_extra(") + cols + QStringLiteral(");");
}

QString StoredText(const QString &text)
{
    QString t = text;
    t.remove(QLatin1Char('\''));
    return t;
}

QString StoredName(const QString &name) { return LeftChars(StoredText(name), kMaxNameChars); }

QString StoredAddress(const QString &address) { return LeftChars(StoredText(address), kMaxAddressChars); }

QString StoredClassName(const QString &className)
{
    QString t = StoredText(className);
    t.remove(kSep);
    return t;
}

void RecordToValues(const TRecordData &rec, QStringList &values)
{
    values.clear();
    values.reserve(kCaseColumnCount);

    QStringList addrInd{Num(rec.place1), Num(rec.place2)};
    for (int32_t p : rec.place) {
        if (p == -1)
            break;
        addrInd << Num(p);
    }

    values << Num(rec.id)
           << StoredName(rec.name)
           << Flag(rec.sex != 0)
           << StoredClassName(rec.className)
           << Num(rec.date.year)
           << JoinSub({Num(rec.date.month), Num(rec.date.day), Num(rec.date.hour), Num(rec.date.minute)})
           << JoinSub({Flag(rec.lunar != 0), Flag(rec.leap != 0)})
           << addrInd.join(kSep)
           << StoredAddress(rec.address)
           << JoinSub({Fixed(rec.longitude, 6), Fixed(rec.latitude, 6), QStringLiteral("8")})
           << StoredText(rec.remarkFile)
           << QString(kSep)
           << QString(kSep)
           << JoinSub({Num(rec.chartPanel), Flag(rec.xiaGua != 0)})
           << JoinSub({Num(rec.buildYear), Num(rec.mountain), Num(rec.door), Fixed(rec.degree, 5)})
           << StoredText(rec.remarkText);
}

void ValuesToRecord(const QStringList &values, TRecordData &rec)
{
    static const QString kNone;
    auto value = [&](int column) -> const QString & { return column < values.size() ? values.at(column) : kNone; };
    auto orDefault = [&](int column, const QString &def) {
        const QString v = value(column);
        return v.isEmpty() ? def : v;
    };
    SubValues sub;

    rec.id = ToIntDef<int32_t>(value(ColId), 0);
    rec.name = LeftChars(value(ColName), kMaxNameChars);
    rec.sex = ToIntDef<int>(value(ColSex), 1) == 1 ? 1 : 0;
    rec.className = orDefault(ColClassName, QStringLiteral("临时保存"));
    rec.date.year = ToIntDef<int16_t>(value(ColDateY), 1900);

    sub = Split(value(ColDateNum));
    rec.date.month = IntAt<int16_t>(sub, 0, 1);
    rec.date.day = IntAt<int16_t>(sub, 1, 1);
    rec.date.hour = IntAt<int16_t>(sub, 2, 1);
    rec.date.minute = IntAt<int16_t>(sub, 3, 1);

    // The two flags read 1 for an unreadable sub-value but 0 for an absent one.
    sub = Split(value(ColDateStyle));
    rec.lunar = sub.size() > 0 && IntAt<int>(sub, 0, 1) == 1 ? 1 : 0;
    rec.leap = sub.size() > 1 && IntAt<int>(sub, 1, 1) == 1 ? 1 : 0;

    sub = Split(value(ColAddrInd));
    rec.place1 = IntAt<int16_t>(sub, 0, 0);
    rec.place2 = IntAt<int16_t>(sub, 1, 0);
    for (int i = 0; i < int(rec.place.size()); ++i)
        rec.place[i] = IntAt<int32_t>(sub, i + 2, -1);

    rec.address = LeftChars(value(ColAddrName), kMaxAddressChars);

    sub = Split(value(ColAddrNum));
    rec.longitude = FloatAt(sub, 0, 120.0f);
    rec.latitude = FloatAt(sub, 1, 30.0f);

    rec.remarkFile = orDefault(ColRemarkFile, QString(kSep));

    sub = Split(value(ColHousePanel));
    rec.chartPanel = IntAt<int32_t>(sub, 0, 0);
    rec.xiaGua = IntAt<int>(sub, 1, 1) == 1 ? 1 : 0;

    sub = Split(value(ColJianShan));
    rec.buildYear = IntAt<int16_t>(sub, 0, 2024);
    rec.mountain = IntAt<uint8_t>(sub, 1, 0);
    rec.door = IntAt<uint8_t>(sub, 2, 0);
    rec.degree = FloatAt(sub, 3, 0.0f);

    rec.remarkText = orDefault(ColRemarkText, QString::fromUtf8(kRemarkPlaceholder));
}

void SplitValue(const QString &text, QStringList &list)
{
    list.clear();
    for (QStringView part : Split(text))
        list << part.toString();
}

void RowToValues(const TMapValue &row, QStringList &values)
{
    values.clear();
    for (const char *column : kCaseColumns) {
        const auto it = row.find(QLatin1String(column));
        values << (it == row.end() ? QString() : it->second);
    }
}

TCaseKey CaseKeyOf(const TRecordData &rec)
{
    // As RecordToValues stores them and ValuesToRecord reads them back, without the other fourteen values.
    const QString remarkFile = StoredText(rec.remarkFile);
    return {StoredName(rec.name), remarkFile.isEmpty() ? QString(kSep) : remarkFile};
}
