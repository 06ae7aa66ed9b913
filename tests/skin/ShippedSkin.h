#pragma once

#include "TSkinData.h"

#include <QFile>

#include <memory>

// A shipped skin package (Mx1 or Mx2) read into a skin model; an empty model when the package is missing.
inline std::unique_ptr<TSkinData> ShippedSkin(const char *name)
{
    auto data = std::make_unique<TSkinData>();
    QFile f(QStringLiteral(STAGED_SKINS "/") + QLatin1String(name) + QStringLiteral(".skn"));
    if (f.open(QIODevice::ReadOnly))
        data->LoadFromStream(f.readAll());
    return data;
}
