#pragma once

class DataFolderLock;
class QString;
struct DataFolderSetup;

// Takes the data folder's lock for this start, before anything of the folder is written. A lock this computer
// cannot check is taken over only when the user agrees to a question that names the risk; one that no program
// holds and that names no holder is taken over with a notice. Whenever the folder
// cannot be had (in use, refused, the lock impossible), says why (also on the standard error, for a start from
// a terminal) and returns false: the program then ends without touching the folder.
bool TakeDataFolder(DataFolderLock &lock, const QString &folder);

// The start's road to its data folder, in this order: the folder's lock (TakeDataFolder), the folder prepared
// (PrepareDataFolder) and what it found said, then a word on settings files it cannot read. False when the
// folder cannot be had: the program then ends.
bool OpenDataFolder(DataFolderLock &lock);

// Tells the user what the start-up's PrepareDataFolder found: an error when the data folder could not be made
// (nothing will be saved), and, on the first start that keeps the data in the user's own folder, which folder
// of the program cannot be written and where the settings and cases now live. Says nothing otherwise.
void ShowDataFolderNotice(const DataFolderSetup &setup);

// Tells the user about each settings file of the data folder (dat/set.ini, dat/qrinit.ini) that is there but
// cannot be read (not a regular file, too large, no permission): the program runs on the defaults and keeps
// the file as it is.
void ShowSettingsFileNotice(const QString &folder);
