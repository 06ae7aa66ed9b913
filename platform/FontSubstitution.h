#pragma once

// The program's forms and drawings name the font "宋体"; it is drawn with the CJK serif fonts installed
// here. "NSimSun" (新宋体), the fixed-pitch face of the reports' star tables, is drawn with the CJK mono font. Call once after the application object exists (the program does in main, drawing tests in setup).
void RegisterFontSubstitutions();
