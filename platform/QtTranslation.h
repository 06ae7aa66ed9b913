#pragma once

// Loads Qt's own Chinese texts into the running application: the buttons of message boxes and dialogs
// ("是", "否", "确定", "取消"), the file, font, colour and print dialogs, and the system's error texts
// that Qt reports (such as a file that may not be written). Needs the application object; false when the
// translation is not installed, and the program then shows Qt's English texts.
bool InstallQtTranslation();
