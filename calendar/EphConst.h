#pragma once

#include <array>
#include <cmath>
#include <string_view>

// The one set of astronomical constants of the calendar engine. The circle constant is the nine-digit
// 3.14159265 on purpose: the solar and lunar series and the stored correction texts were fitted with it, and
// every quantity derived from it is derived from that value so that event times stay reproducible.
namespace EphConst {

inline constexpr double pi = 3.14159265;
inline constexpr double pi2 = 2 * pi;     // 6.2831853
inline constexpr double piHalf = pi / 2;  // 1.570796325

inline constexpr double earthRadius = 6378.1366;                      // equatorial, km
inline constexpr double earthMeanRadius = 0.99834L * earthRadius;      // km
inline constexpr double earthAxisRatio = 0.99664719;
inline constexpr double earthAxisRatio2 = (long double)earthAxisRatio * earthAxisRatio;
inline constexpr double AU = 149597870.691;                            // km
inline constexpr double earthRadiusAU = (long double)earthRadius / AU;
inline const double sunParallax = std::asin((long double)earthRadius / AU); // rad
inline constexpr double lightSpeed = 299792.458;                       // km/s
inline constexpr double lightTimeAU = (long double)AU / lightSpeed / 86400 / 36525; // Julian centuries

inline constexpr std::array<int, 8> synodicPeriods = {116, 584, 780, 399, 378, 370, 367, 367};
inline constexpr std::array<std::string_view, 9> PlanetName = {"地球", "水星", "金星", "火星", "木星",
                                                               "土星", "天王星", "海王星", "冥王星"};

inline constexpr double arcSecPerRad = 648000.0L / pi; // 206264.806483
inline constexpr double degPerRad = 180.0L / pi;       // 57.2957795786

inline constexpr double moonEarthRatio = 0.2725076;
inline constexpr double moonEarthRatio2 = 0.272281;
inline constexpr double sunEarthRatio = 109.1222;
inline constexpr double moonSemiDiameter = (long double)moonEarthRatio * earthRadius * 1.0000036L * arcSecPerRad;
inline constexpr double moonSemiDiameter2 = (long double)moonEarthRatio2 * earthRadius * 1.0000036L * arcSecPerRad;
inline constexpr double sunSemiDiameter = 959.64; // arc-seconds at 1 AU

// Lengths (in floats, six per term) of the lunar series blocks, per power of time:
// longitude, latitude, distance.
inline constexpr std::array<int, 12> moonBlockLengths = {2652, 894, 204, 12, 1236, 270, 72, 0, 1326, 312, 72, 0};

} // namespace EphConst
