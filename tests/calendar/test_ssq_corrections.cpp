#include "../../scripts/gen_ssq_corrections.h"

#include "SsqCorrections.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

// The stored correction texts are what the generator makes from the engine today: a change to the series or to
// the event functions that moves a day shows here and calls for scripts/gen_ssq_corrections.sh.
TEST(Corrections, StoredTextsMatchAFreshBuild)
{
    const SSQ_class ssq;
    const std::string newMoons = SsqCorrectionGen::NewMoonCorrections(ssq);
    const std::string terms = SsqCorrectionGen::TermCorrections(ssq);
    EXPECT_EQ(newMoons.size(), 16586u);
    EXPECT_EQ(terms.size(), 7544u);
    EXPECT_EQ(std::string(StoredNewMoonCorrections()), newMoons);
    EXPECT_EQ(std::string(StoredTermCorrections()), terms);
    EXPECT_EQ(newMoons.find_first_not_of("012"), std::string::npos);
    EXPECT_EQ(terms.find_first_not_of("012"), std::string::npos);

    std::ifstream in(std::string(QUORIN_TEST_DATA) + "/../../calendar/SsqCorrections.cpp");
    ASSERT_TRUE(in);
    std::stringstream source;
    source << in.rdbuf();
    EXPECT_EQ(source.str(), SsqCorrectionGen::CorrectionSource(newMoons, terms));
}

TEST(Corrections, LowPrecisionDaysFollowTheFullEphemerisExceptTheAlmanacMonths)
{
    const SSQ_class ssq;
    // Each corrected new moon of the low-precision range falls on the full ephemeris's day, except the four
    // month starts taken from the almanac.
    std::vector<int> differing;
    for (double J = SSQ_class::kNewMoonLowStart + 12; J < SSQ_class::kHighStart; J += 29.5306) {
        const int day = ssq.CalcDay(J - 2451545, SsqEvent::NewMoon);
        const double W = std::floor((J + 14 - 2451551) / 29.5306) * EphConst::pi2;
        if (day != static_cast<int>(std::floor(ssq.NewMoonHigh(W) + 0.5)))
            differing.push_back(day);
    }
    std::vector<int> almanac;
    for (const auto &m : SsqCorrectionGen::kAlmanacMonthStarts)
        almanac.push_back(SsqCorrectionGen::DayNumber(m.year, m.month, m.day));
    EXPECT_EQ(differing, almanac);

    // Solar terms have no almanac exceptions.
    for (double J = SSQ_class::kTermLowStart + 6; J < SSQ_class::kHighStart; J += 365.2422 / 24) {
        const double W = std::floor((J + 7 - 2451259) / 365.2422 * 24) * EphConst::pi / 12;
        ASSERT_EQ(ssq.CalcDay(J - 2451545, SsqEvent::Term), static_cast<int>(std::floor(ssq.TermHigh(W) + 0.5)))
            << J;
    }
}
