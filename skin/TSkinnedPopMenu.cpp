#include "TSkinnedPopMenu.h"

#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedMenu.h"

#include <QMenu>

TSkinnedPopMenu::TSkinnedPopMenu(QMenu *menu) : QObject(menu), menu_(menu)
{
    setObjectName(QStringLiteral("SkinnedPopMenu"));
}

TSkinnedPopMenu::~TSkinnedPopMenu()
{
    // The menu may be half destroyed here: it is not touched; it drops a deleted style by itself.
    delete style_;
}

TSkinnedPopMenu *TSkinnedPopMenu::Of(const QMenu *menu)
{
    return menu ? menu->findChild<TSkinnedPopMenu *>(QStringLiteral("SkinnedPopMenu"), Qt::FindDirectChildrenOnly)
                : nullptr;
}

bool TSkinnedPopMenu::Skin(QMenu *menu, TSkinData *data)
{
    if (!menu || !data || data->Empty())
        return false;
    TSkinnedPopMenu *skin = Of(menu);
    if (!skin)
        skin = new TSkinnedPopMenu(menu);
    skin->InitSkin(data, TSkinnedMenu::Tracking() ? SkinMenuStyle::BarMenu : SkinMenuStyle::PopupMenu);
    return true;
}

void TSkinnedPopMenu::InitSkin(TSkinData *data, SkinMenuStyle::Kind kind)
{
    if (!menu_)
        return;
    if (subclassed_) {
        style_->setData(data);
        style_->setKind(kind);
        return;
    }
    ownStyle_ = menu_->testAttribute(Qt::WA_SetStyle);
    savedStyle_ = menu_->style();
    style_ = new SkinMenuStyle(data, kind);
    menu_->setStyle(style_);
    menu_->installEventFilter(this);
    subclassed_ = true;
}

void TSkinnedPopMenu::UnSubClass()
{
    if (!subclassed_)
        return;
    subclassed_ = false;
    if (menu_) {
        menu_->removeEventFilter(this);
        menu_->setStyle(ownStyle_ && savedStyle_ ? savedStyle_.data() : nullptr);
    }
    delete style_;
    style_ = nullptr;
}

bool TSkinnedPopMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != menu_)
        return false;
    if (TSkinMessage *m = AsSkinMessage(event); m && m->number() == CN_IsSkinned) {
        m->result = 1;
        return true;
    }
    if (event->type() == QEvent::Show) {
        auto *manager = dynamic_cast<TSkinManage *>(SkinManager());
        TSkinData *data = manager && manager->Active() ? manager->FindSkindata(menu_) : nullptr;
        if (!data || data->Empty()) {
            UnSubClass();
            deleteLater();
        } else {
            InitSkin(data, TSkinnedMenu::Tracking() ? SkinMenuStyle::BarMenu : SkinMenuStyle::PopupMenu);
        }
    }
    return false;
}
