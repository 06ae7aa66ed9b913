#pragma once

struct DataFolderSetup;

// Tells the user what the start-up's PrepareDataFolder found: an error when the data folder could not be made
// (nothing will be saved), and, on the first start that keeps the data in the user's own folder because the
// program folder cannot be written, where the settings and cases now live. Says nothing otherwise.
void ShowDataFolderNotice(const DataFolderSetup &setup);
