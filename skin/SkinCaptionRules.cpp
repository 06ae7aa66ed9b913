#include "SkinCaptionRules.h"

bool SysBtnCondition(int code, const SysBtnWindow &w, bool second, const std::function<long long(int)> &askHost)
{
    switch (code) {
    case -1: return false;
    case 0: return true;
    case 1: return w.maximised;
    case 2: return !w.maximised;
    case 3: return w.active;
    case 4: return !w.active;
    case 6:
    case 8:
        if (second) // either box
            return w.minBox || w.maxBox;
        return w.sysMenu && (w.minBox || w.maxBox);
    case 7: return !w.maxBox;
    case 9: return !w.minBox;
    case 100: return w.childMaximised && w.hasMenuBar;
    case 200: return !w.dialogClass && w.frameKind == 3;
    default: break;
    }
    if (code > 200 && code < 1000)
        return true;
    if (code >= 1000 && code <= 2000)
        return askHost && askHost(code) > 0;
    return false;
}

SysBtnShow SysBtnVisibility(int visibility, int visibility1, int action, const SysBtnWindow &w,
                            const std::function<long long(int)> &askHost)
{
    SysBtnShow s;
    s.visible = SysBtnCondition(visibility, w, false, askHost) && SysBtnCondition(visibility1, w, true, askHost);
    switch (action) {
    case 0: s.visible = s.visible && w.sysMenu; break;
    case 1: s.enabled = w.maxBox && w.sysMenu; break;
    case 2: s.enabled = w.minBox && w.sysMenu; break;
    case 3:
    case 11:
    case 12: s.visible = s.visible && w.frameKind != 3; break;
    default: break;
    }
    return s;
}

QPoint SysBtnPlace(int align, int xcoord, int ycoord, QSize size, const SysBtnFrame &f, QPoint keep)
{
    switch (align) {
    case 0: return {xcoord, ycoord};
    case 1: return {f.windowWidth - xcoord, ycoord};
    case 2:
    case 8: return {f.captionLeft - size.width() - xcoord, ycoord};
    case 3:
    case 9: return {f.captionRight + xcoord, ycoord};
    case 100: {
        const int x = f.windowWidth - xcoord - f.rightBorder - (f.menuBarMargin >= 0 ? f.menuBarMargin : 0);
        return {x, f.title + (f.menuBarHeight - size.height()) / 2};
    }
    default: return keep;
    }
}
