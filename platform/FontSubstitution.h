#pragma once

// The program's forms and drawings name the font "宋体"; it is drawn with the CJK serif fonts installed
// here. Call once after the application object exists (the program does in main, drawing tests in setup).
void RegisterFontSubstitutions();
