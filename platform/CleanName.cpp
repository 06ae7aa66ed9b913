#include "CleanName.h"

namespace {

constexpr qsizetype maxNameLength = 10;

bool isRemoved(QChar c)
{
    return QStringView(u"\" *<>?\\/|:'").contains(c);
}

} // namespace

bool CleanName(QString &name)
{
    const QString before = name;
    name.removeIf(isRemoved);
    if (name.isEmpty())
        name = QStringLiteral("甲");
    if (name.size() > maxNameLength)
        name.truncate(name.at(maxNameLength - 1).isHighSurrogate() ? maxNameLength - 1 : maxNameLength);
    return name != before;
}
