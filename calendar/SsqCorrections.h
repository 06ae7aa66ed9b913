#pragma once

#include <string_view>

// The stored correction texts of the low-precision range (generated into SsqCorrections.cpp by
// scripts/gen_ssq_corrections.sh). One digit per event counted from the start of the range: "1" moves the
// computed day one day later, "2" one day earlier, "0" leaves it.
std::string_view StoredNewMoonCorrections();
std::string_view StoredTermCorrections();
