// Makes a case file for trying the case tree by hand: make_case_file FOLDER [COUNT] writes FOLDER/dat/Quorin.db
// with COUNT (default 100000) cases.
#include "CaseFileMaker.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_case_file FOLDER [COUNT]\n");
        return 2;
    }
    const int n = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int saved = MakeCaseFile(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/"), n);
    std::printf("%d cases saved\n", saved);
    return saved == n ? 0 : 1;
}
