#pragma once

#include <QString>

// Removes path and, when it is a folder, everything under it, without ever following a link: a link is removed
// as a link, and what it points at stays as it was, wherever it lies. A path that does not exist is no failure.
// False when something stays.
bool RemoveTree(const QString &path);
