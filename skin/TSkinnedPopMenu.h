#pragma once

#include "SkinMenuStyle.h"

#include <QObject>
#include <QPointer>
#include <QStyle>

class QMenu;
class TSkinData;

// The skin of one popup menu: the menu takes a SkinMenuStyle of its own for as long as it is skinned, and
// answers CN_IsSkinned with 1. Each time it is shown it checks the skin again: once the manager is switched
// off (or has no skin for it any more) the menu gets its own style back and the skin goes; the manager skins
// it afresh at a later showing. The skin is a child of its menu and goes with it.
class TSkinnedPopMenu : public QObject {
public:
    explicit TSkinnedPopMenu(QMenu *menu);
    ~TSkinnedPopMenu() override;

    // The manager's popup skinner: skins the menu (menus of the drawn menu bar measure as such).
    static bool Skin(QMenu *menu, TSkinData *data);
    // The menu's skin, or none.
    static TSkinnedPopMenu *Of(const QMenu *menu);

    void InitSkin(TSkinData *data, SkinMenuStyle::Kind kind);
    void UnSubClass(); // gives the menu its own style back
    QMenu *Menu() const { return menu_; }
    SkinMenuStyle *Style() const { return style_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QMenu> menu_;
    SkinMenuStyle *style_ = nullptr; // owned while skinned
    QPointer<QStyle> savedStyle_;
    bool ownStyle_ = false, subclassed_ = false;
};
