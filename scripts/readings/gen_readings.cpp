// Writes the Xuan Kong reading tables (chart explanations and the 玄空山运断 fortunes, 下卦 and 替卦) that the
// program compiles in from resources/strings. The texts are composed from the chart engine's own computations,
// so after any change to the engine or to the wording, regenerate and commit them:
//
//     build/scripts/readings/gen_readings --write resources/strings
//
// and check the committed files against the engine without writing anything:
//
//     build/scripts/readings/gen_readings --check resources/strings
//
// The test test_readings runs the same check, so stale tables fail the suite.
#include "ReadingComposer.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Written beside the old file and renamed over it, so a failed run never leaves half a table.
bool WriteFile(const std::string &path, const std::string &text)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "--write") != 0 && std::strcmp(argv[1], "--check") != 0)) {
        std::fprintf(stderr, "usage: %s --write|--check <resources/strings folder>\n", argv[0]);
        return 2;
    }
    const bool write = std::strcmp(argv[1], "--write") == 0;
    int stale = 0;
    for (readings::Table t : readings::kTables) {
        const std::string path = std::string(argv[2]) + "/" + readings::FileName(t);
        const std::string text = readings::FileText(t);
        if (ReadFile(path) == text) {
            std::printf("%s: up to date (%zu bytes)\n", path.c_str(), text.size());
            continue;
        }
        if (!write) {
            std::printf("%s: differs from the engine's readings\n", path.c_str());
            ++stale;
        } else if (WriteFile(path, text)) {
            std::printf("%s: written (%zu bytes)\n", path.c_str(), text.size());
        } else {
            std::fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
    }
    return stale ? 1 : 0;
}
