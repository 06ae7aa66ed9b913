#include "FontSubstitution.h"

#include <QFont>
#include <QStringList>

void RegisterFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    // The fixed-pitch face of the reports' star tables, as saved rich text names it.
    for (const QString &fixed : {QStringLiteral("NSimSun"), QStringLiteral("新宋体")})
        QFont::insertSubstitutions(fixed, {QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("AR PL UMing CN")});
}
