#pragma once

#include <QString>

// Where a name leads when it is a link (a case file or a case folder kept on another disk, say): the links at
// the last part of path are followed, each relative one from its own folder, to the name that is no link. That
// name need not exist (a link to nothing gives the name it points at). path itself when it is no link, or when
// its links go round in a circle. Folders along the way are given as the system resolves them.
QString LinkedPath(const QString &path);

// path without its trailing slashes: "link/" names the folder a link leads to, "link" the link itself.
QString Unslashed(QString path);
