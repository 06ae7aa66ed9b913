#include "FontSubstitution.h"

#include <QFont>
#include <QStringList>

void RegisterFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
}
