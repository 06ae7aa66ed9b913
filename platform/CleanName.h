#pragma once

#include <QString>

// Cleans an owner or category name in place and returns whether it changed:
//  - the characters " * < > ? \ / | : ' and blanks are removed;
//  - a name that is empty, or that the removal empties, becomes "甲" (an empty owner name would make the
//    saved case impossible to open again);
//  - at most the first 10 UTF-16 units are kept, never splitting a surrogate pair.
bool CleanName(QString &name);
