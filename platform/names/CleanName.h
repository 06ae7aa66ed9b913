#pragma once

#include <QString>

// The one rule for the names of owners and categories, whether typed, pasted, imported or migrated.
//
// Removed are the characters that a file name built from the name, or the blank-separated category list, cannot
// hold (" * < > ? \ / | : ' and the blank), and every invisible control character (IsControlCharacter): a name
// shows nothing for them, or is turned around by them, and a line break would break the lines it is shown on.

// C0 and C1 control characters and DEL, format characters (the bidirectional overrides and isolates, zero-width
// characters, the byte-order mark), the line and paragraph separators, and surrogate code points (a surrogate
// half that has no partner).
bool IsControlCharacter(char32_t c);

// Removes the control characters alone; true when the text changed.
bool RemoveControlCharacters(QString &text);

// Removes what the rule removes, then keeps at most maxChars whole characters (0: no limit); a text that is empty,
// or that the removal empties, becomes "甲" (an empty owner name would make the saved case impossible to open
// again). True when the text changed.
bool CleanText(QString &text, int maxChars);

// What cleaning did to a text, so that the user can be told which.
struct NameCleaning {
    bool removed = false; // characters the rule removes were taken out
    bool cut = false;     // it was longer than the limit and was cut to it
    bool empty = false;   // nothing was left, or nothing was there: it became "甲"
    bool changed() const { return removed || cut || empty; }
};

// CleanText, saying what it did.
NameCleaning CleanTextTelling(QString &text, int maxChars);

// The most characters an owner or category name keeps.
constexpr int kCleanNameChars = 10;

// An owner or category name: CleanText with at most kCleanNameChars characters.
bool CleanName(QString &name);
NameCleaning CleanNameTelling(QString &name);
