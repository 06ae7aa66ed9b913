#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "DateRec.h"

// The comment text of a case whose owner wrote none: what a new case, a case read without one and an
// imported or migrated case all carry (UTF-8).
inline constexpr char kRemarkPlaceholder[] = "输入自己的评语：";

// One saved case (案例) in memory: one row of the table case_data. Copied by value between the main window,
// the chart engine and the case database. Several fields share one column, their values joined by one blank.
struct TRecordData {
    uint8_t hasPlan = 0;     // 1 when the case has a floor-plan picture; not stored
    int32_t chartPanel = 0;  // chart view shown when saved: 0 flying-star, 1 Eight Mansions, 2 annual,
                             // 3 inner-qi, 4 annual Eight Mansions
    TDateRec date{1900, 1, 1, 0, 0}; // owner's birth date and time (hour 0..23)
    uint8_t lunar = 0;       // 1 when the birth date was entered as a lunar date
    uint8_t leap = 0;        // 1 when that lunar month is a leap month
    uint8_t sex = 1;         // 1 male (男), 0 female (女)
    int16_t buildYear = 2024;
    uint8_t mountain = 0;    // index of the item of the sitting list (0..95), not the mountain number
    uint8_t door = 0;        // index of the door item
    float degree = 0.0f;     // compass degree of the sitting direction (坐山)
    uint8_t xiaGua = 1;      // 1 for the 下卦 chart, 0 for the 替卦 chart
    QString name;            // owner's name, at most kMaxNameChars characters
    QString address;         // at most kMaxAddressChars characters
    float longitude = 120.0f;
    float latitude = 30.0f;
    int16_t place1 = 0;
    int16_t place2 = 0;
    int16_t colour = 0;      // chart colour scheme of the main window; not stored
    uint8_t starNames = 0;   // star-name display choice of the main window; not stored
    int32_t id = 0;          // the primary key; 0 before the case is first saved
    QString className;       // category (类别)
    QString remarkText;      // plain text of the comments (评语); kRemarkPlaceholder when none were written
    QString remarkFile;      // comment-file name without folder and extension
    std::array<int32_t, 5> place{-1, -1, -1, -1, -1}; // further place indices; the first -1 ends the list

    friend bool operator==(const TRecordData &, const TRecordData &) = default;
};

// One result row: column name to value text. A whole result: the rows in the order the store returns them.
using TMapValue = std::map<QString, QString>;
using TContentValues = std::vector<TMapValue>;

// Separates category names in the category list and the sub-values of one column.
inline constexpr char kValueSeparator = ' ';
inline constexpr int kCaseColumnCount = 16;

// The columns of case_data in table order; every statement is built from this one table.
inline constexpr std::array<const char *, kCaseColumnCount> kCaseColumns{
    "id", "name", "sex", "className", "dateY", "dateNum", "dateStyle", "addrInd",
    "addrName", "addrNum", "remarkFile", "tag1", "tag2", "housePanel", "jianShan", "remarkText"};

// Columns stored as integers; every other column holds text.
bool IsIntegerColumn(int column);

// The five untyped columns of the one row of case_extra.
inline constexpr std::array<const char *, 5> kExtraColumns{"PlatformId", "verCode", "primaryId", "className",
                                                           "baseType"};

// Marks a case database of this program (case_extra.baseType).
inline constexpr const char *kBaseType = "QuorinData";

// The categories of a new case file, in order.
QStringList DefaultClasses();

// The create statements of the two tables, exactly as files of this program have always been made.
QString CreateDataTableSql();
QString CreateExtraTableSql();

// Format rules that keep a file readable and writable by every version of the program: no single quote in a
// stored text, no blank in a category name, at most 10 characters of name and 150 of address (whole
// characters: a character outside the BMP counts once and is never cut in half).
inline constexpr int kMaxNameChars = 10;
inline constexpr int kMaxAddressChars = 150;
QString StoredText(const QString &text);
QString StoredName(const QString &name);
QString StoredAddress(const QString &address);
QString StoredClassName(const QString &className);

// The 16 stored texts of a record, in column order; numbers in the C locale. The texts are the values
// themselves (what the file holds), not SQL literals.
void RecordToValues(const TRecordData &rec, QStringList &values);

// Fills rec from 16 stored texts; an empty or unreadable value gives that field's read default. Leaves
// hasPlan, colour and starNames untouched. Fewer than 16 texts read the missing ones as empty.
void ValuesToRecord(const QStringList &values, TRecordData &rec);

// Splits text at the value separator: "a  b" gives "a" and " b"; an empty text gives no item.
void SplitValue(const QString &text, QStringList &list);

// The 16 texts of a row in column order; a column the row lacks stays empty.
void RowToValues(const TMapValue &row, QStringList &values);

// What tells a stored case from the one another file holds under the same id: the owner's name and the
// comment-file name, as the file stores them. A case keeps both until it is saved again; a file put in the case
// file's place (an older copy, another installation's file) may hold another client under the id.
struct TCaseKey {
    QString name;
    QString remarkFile;
    friend bool operator==(const TCaseKey &, const TCaseKey &) = default;
};
TCaseKey CaseKeyOf(const TRecordData &rec);
