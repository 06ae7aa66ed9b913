#pragma once

#include "FileCalls.h"

#include <QString>

// New names that are taken only while they are free, so that no file that has the name is ever replaced, on
// every kind of disk. Where the system renames only to a free name (renameat2), that is one call; where it
// makes second names for files, the file gets the new name as a second one and loses the old; on a disk with
// neither (a USB stick's FAT or exFAT), the free name is claimed by an empty file made only while nothing has
// the name, and the file is renamed over that claim, which is no one's file but this one's. A program killed
// between the claim and the rename leaves the claim empty under the new name: what wrote the file knows it from
// its own records (the case library writes such a file again from its row). No step follows a link.

// Gives the file `from` the name `to` while no file has it: 0, with `from` gone; else the system's error number
// (EEXIST when the name is taken), with `from` where it was and `to` as it was.
int MoveToFreeName(const QString &from, const QString &to, FileCalls &calls = FileCalls::real());

// Gives the file src the second name dst, or where the disk has no second names a copy of it (synced) under
// that name; 0, else the system's error number (EEXIST when dst is taken, which stays as it was).
int AddSecondName(const QString &src, const QString &dst, FileCalls &calls = FileCalls::real());
