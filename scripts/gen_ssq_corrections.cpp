// Writes the correction texts of the calendar engine as C++ source to standard output.
// Run through gen_ssq_corrections.sh.

#include "gen_ssq_corrections.h"

#include <iostream>

int main()
{
    const SSQ_class ssq;
    std::cout << SsqCorrectionGen::CorrectionSource(SsqCorrectionGen::NewMoonCorrections(ssq),
                                                    SsqCorrectionGen::TermCorrections(ssq));
    return 0;
}
