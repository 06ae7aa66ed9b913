// Fuzz target for the skin package reader and the in-memory ini (libFuzzer).
// The first byte chooses what the rest is: a compressed frame as found in a .skn file, or an expanded
// package that is framed first so that the member table itself is explored.
#include "TQuickIni.h"
#include "TSkinReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    TSkinReader reader;
    const bool loaded = reader.Loadfromstream(data[0] & 1 ? SkinCompress(rest) : rest);
    if (loaded) {
        QByteArray out;
        for (const QString &name : reader.names())
            reader.readfile(name, out);
        reader.readIni(QStringLiteral(".ini"), out);
        TQuickIni ini;
        ini.LoadFromStream(out);
        for (const QString &section : ini.ReadSections())
            for (const QString &key : ini.ReadSection(section))
                ini.ReadInteger(section, key, 0);
    }
    return 0;
}
