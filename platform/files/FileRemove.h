#pragma once

#include <QString>

// How deep RemoveTree goes: the whole tree, or the folder's own files only (its subfolders stay, and so does the
// folder while they are in it).
enum class TreeDepth { Whole, OwnFilesOnly };

// Removes path and, when it is a folder, what is under it, without ever following a link: a link is removed as a
// link, and what it points at stays as it was, wherever it lies. A path that does not exist is no failure. False
// when something stays.
bool RemoveTree(const QString &path, TreeDepth depth = TreeDepth::Whole);
