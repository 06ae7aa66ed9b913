#include "ChartSettings.h"

#include "AppPath.h"
#include "IniFile.h"

QString ChartSettingsPath() { return DataPath() + QStringLiteral("dat/set.ini"); }

ChartSettings ReadChartSettings(const ChartSettings &defaults)
{
    const IniFile ini = IniFile::Snapshot(ChartSettingsPath());
    const QString section = QStringLiteral("set");
    auto integer = [&](const char *key, int def) { return ini.ReadInteger(section, QLatin1String(key), def); };
    auto boolean = [&](const char *key, bool def) { return ini.ReadBool(section, QLatin1String(key), def); };
    auto text = [&](const char *key, const QString &def) { return ini.ReadString(section, QLatin1String(key), def); };

    ChartSettings s;
    s.ileft = integer("ileft", defaults.ileft);
    s.liunian = integer("liunian", defaults.liunian);
    s.fuwei = integer("fuwei", defaults.fuwei);
    s.mengong = text("mengong", defaults.mengong);
    s.dinglan = text("dinglan", defaults.dinglan);
    s.iCoord = integer("iCoord", defaults.iCoord);
    s.fJian = ini.ReadFloat(section, QStringLiteral("fJian"), defaults.fJian);
    s.fJianText = text("fJian", defaults.fJianText.isEmpty() ? QString::number(defaults.fJian) : defaults.fJianText);
    s.bZhouTian = boolean("bZhouTian", defaults.bZhouTian);
    s.bWuHint = boolean("bWuHint", defaults.bWuHint);
    s.iTilt = integer("iTilt", defaults.iTilt);
    s.bChengMen = boolean("bChengMen", defaults.bChengMen);
    s.dayStar = integer("dayStar", defaults.dayStar);
    s.iFontSizeVar = integer("iFontSizeVar", defaults.iFontSizeVar);
    s.bChangeMenuSize = boolean("bChangeMenuSize", defaults.bChangeMenuSize);
    return s;
}
