#include "SsqCorrections.h"

std::string_view StoredNewMoonCorrections() { return {}; }
std::string_view StoredTermCorrections() { return {}; }
