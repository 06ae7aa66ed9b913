#pragma once

#include <array>
#include <map>
#include <string>

// Composes the Xuan Kong reading tables from the chart engine's own computations: for every period (1..9) and
// sitting mountain (0..23), in the 下卦 and the 替卦 variant, an explanation of the chart and a forty-line
// fortune of the house through the nine periods from its building period on (玄空山运断).
//
// Ids (period 9 written as 9):
//   下卦 explanation 500 + 10 m + period, 替卦 explanation 800 + 10 m + period;
//   下卦 fortune 2000 + 960 (period − 1) + 40 m + line, 替卦 fortune 11000 + … (line 0..39).
namespace readings {

inline constexpr int kXiaGuaTextBase = 500;
inline constexpr int kTiGuaTextBase = 800;
inline constexpr int kXiaGuaBankBase = 2000;
inline constexpr int kTiGuaBankBase = 11000;
inline constexpr int kBankLines = 40;

// A fortune line that stands for an empty line of the report.
inline constexpr const char *kEmptyLine = "NewLine";

inline int TextId(bool tiGua, int mountain, int period)
{
    return (tiGua ? kTiGuaTextBase : kXiaGuaTextBase) + 10 * mountain + period;
}
inline int BankId(bool tiGua, int mountain, int period, int line)
{
    return (tiGua ? kTiGuaBankBase : kXiaGuaBankBase) + 960 * (period - 1) + kBankLines * mountain + line;
}

// The explanation of one chart (period 1..9, mountain 0..23), lines separated by '\n'.
std::string ExplanationText(bool tiGua, int mountain, int period);

// The 40 fortune lines of one house; an empty line is kEmptyLine.
std::array<std::string, kBankLines> FortuneLines(bool tiGua, int mountain, int period);

// One string-table file: the entries of one table in id order.
enum class Table { XiaGuaText, TiGuaText, XiaGuaBank, TiGuaBank };
inline constexpr Table kTables[] = {Table::XiaGuaText, Table::TiGuaText, Table::XiaGuaBank, Table::TiGuaBank};
const char *FileName(Table t); // its file name under resources/strings
std::map<int, std::string> Entries(Table t);
std::string FileText(Table t); // `id<TAB>text` lines with \n and \\ escaped, each ending in a newline

} // namespace readings
