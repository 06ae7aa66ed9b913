#pragma once

#include "ChartNameTables.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <QString>

#include <string_view>

// The name tables hold UTF-8 text; the drawing works in QString.
inline QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
