#pragma once

#include "TSkinReader.h"

#include <QList>
#include <QString>

// The program's own skins, drawn with QPainter (no antialiasing, no text, so every run gives the same bytes).
// Each skin is an ini member and the BMP pictures it names; skinpack packs the folder into a package.
// Layout choices the skin model leaves open are written down in SKINS.md beside this file.
struct SkinTheme {
    QString name;     // the package's file name without ".skn"
    QString title;    // SkinName
    bool dark = false;
};

QList<SkinTheme> ShippedSkinThemes();
QList<SkinMember> GenerateSkin(const SkinTheme &theme);
