#pragma once

#include <QPoint>
#include <QSize>

#include <functional>

// The rules of caption buttons as plain functions of what the window is.
struct SysBtnWindow {
    bool maximised = false, active = true, minBox = true, maxBox = true, sysMenu = true;
    bool dialogClass = false;
    int frameKind = 0;         // 0 sizeable, 1 fixed single, 2 no caption, 3 dialog
    bool childMaximised = false; // a frame window whose active child window is maximised (none here)
    bool hasMenuBar = false;
};

// Whether a visibility code holds; `second` selects the table of the second condition. Codes 1000..2000
// ask the window (`askHost`, answering the code) and hold for an answer above 0.
bool SysBtnCondition(int code, const SysBtnWindow &w, bool second, const std::function<long long(int)> &askHost);

// Visible and enabled flags of a button from its two codes and its action.
struct SysBtnShow {
    bool visible = false, enabled = true;
};
SysBtnShow SysBtnVisibility(int visibility, int visibility1, int action, const SysBtnWindow &w,
                            const std::function<long long(int)> &askHost);

// Where a button of `size` goes by its Align code, in window coordinates; `keep` for a code without a rule.
struct SysBtnFrame {
    int windowWidth = 0, rightBorder = 0, title = 0, menuBarHeight = 0, menuBarMargin = -1; // -1: no element
    int captionLeft = 0, captionRight = 0;
};
QPoint SysBtnPlace(int align, int xcoord, int ycoord, QSize size, const SysBtnFrame &f, QPoint keep);
