#pragma once

#include <QStringList>

class QFont;
class QLayout;
class QWidget;

// Enlarges or shrinks a whole form by a font-size delta in points chosen in the settings dialog
// (iFontSizeVar in dat/set.ini, read once at program start). Every control's bounds scale by the ratio of
// the measured size of one Chinese character at the old and the new size, and its font takes the new size.
// Controls placed by a layout grow through their font; their fixed minimum and maximum sizes are scaled.
class MUiFont {
public:
    MUiFont() = default;

    // Takes iFontSizeVar and bChangeMenuSize as the settings file holds them.
    void LoadSettings(int fontSizeVar, bool changeMenuSize);

    // Scales the form unless the delta is 0 or the form's size plus the delta leaves 3..100. Controls named in
    // `names` keep their bounds and font (their children are still scaled). Returns whether it acted.
    bool ApplyToForm(QWidget *form, const QStringList &names = {});

    // The delta that makes the character "国" as wide, relative to the screen, as on a screen 1920 wide.
    int RecommendedDelta(QWidget *form);

    int FontSizeVar() const { return iFontSizeVar; }
    void SetFontSizeVar(int delta) { iFontSizeVar = delta; }

    bool GetRatios(int size, float &rx, float &ry) const;
    void ScaleTree(QWidget *control, float rx, float ry, int size);
    void ScaleBounds(QWidget *control, float rx, float ry);
    static int FontSizeOf(const QWidget *control);
    static void SetFontSize(QWidget *control, int size);

private:
    bool isSkipped(const QWidget *control) const;
    static void pinFont(QWidget *control);

    QStringList m_skip;
    int iFontSizeVar = 0;
    bool bChangeMenuSize = false;
};

// The program-wide font scaler.
extern MUiFont AppUiFont;
