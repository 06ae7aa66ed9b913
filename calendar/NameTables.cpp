// The name tables are header-level constants; this unit keeps the library non-empty and checks their shape once.
#include "ChartNameTables.h"
#include "EphConst.h"
#include "NameTables.h"

static_assert(TianGanName[1] == "甲" && TianGanName[0] == "癸");
static_assert(DiZhiName[1] == "子" && DiZhiName[0] == "亥");
static_assert(ShanName[0] == "壬" && ShanName[23] == "亥");
static_assert(GuaName[4] == "地雷复" && GuaName[36] == "天风姤");
static_assert(EphConst::moonBlockLengths[0] == 442 * 6);
