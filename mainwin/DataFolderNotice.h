#pragma once

struct DataFolderSetup;

// Tells the user what the start-up's PrepareDataFolder found: an error when the data folder could not be made
// (nothing will be saved), and, on the first start that keeps the data in the user's own folder, which folder
// of the program cannot be written and where the settings and cases now live. Says nothing otherwise.
void ShowDataFolderNotice(const DataFolderSetup &setup);
