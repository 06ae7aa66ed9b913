#include "TSkinManage.h"

#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinnedForm.h"
#include "TSkinnedPopMenu.h"

#include <QApplication>
#include <QMenu>
#include <QWidget>

#include <algorithm>

TSkinManage::TSkinManage()
{
    RegisterSkinMessages();
    popupSkinner_ = &TSkinnedPopMenu::Skin;
    timer_.setSingleShot(true);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &TSkinManage::OnTimer);
}

TSkinManage::~TSkinManage()
{
    if (hooked_ && qApp)
        qApp->removeEventFilter(this);
    // Freed at once: no event loop may run after the manager is gone.
    for (TSkinnedForm *f : forms_) {
        f->UnSubclass();
        delete f;
    }
}

void TSkinManage::Install()
{
    SetSkinManagerFactory([] { return std::make_unique<TSkinManage>(); });
}

void TSkinManage::AddSkinData(TSkinData *data)
{
    if (data && std::find(data_.begin(), data_.end(), data) == data_.end())
        data_.push_back(data);
}

void TSkinManage::RemoveSkinData(TSkinData *data)
{
    // A skin that goes away takes its windows' frames with it, so that no frame paints from a freed model.
    unskinAll(data);
    std::erase(data_, data);
    if (current_ == data)
        current_ = nullptr;
}

void TSkinManage::InstallHook()
{
    if (hooked_ || !qApp)
        return;
    qApp->installEventFilter(this);
    hooked_ = true;
}

void TSkinManage::DeleteSysbtn()
{
    for (TSkinnedForm *f : forms_)
        f->DeleteSysbtn();
}

bool TSkinManage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t != QEvent::Show && t != QEvent::WindowActivate)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !w->isWindow())
        return false;
    if (auto *menu = qobject_cast<QMenu *>(w)) {
        if (t == QEvent::Show) {
            AddMenu(menu);
            menuKind_ = 0; // a kind is announced for the one popup about to open
        }
        return false;
    }
    if (t == QEvent::WindowActivate)
        switchedOn_ = true;
    AddForm(w);
    return false;
}

TSkinnedForm *TSkinManage::FindSkinForm(const QWidget *window) const
{
    for (TSkinnedForm *f : forms_)
        if (f->Window() == window)
            return f;
    return nullptr;
}

bool TSkinManage::OnBeforeSkin(QWidget *, const QString &className) const
{
    const TSkinData *d = current_ ? current_ : (data_.empty() ? nullptr : data_.front());
    const bool preview = d && d->Options.contains(TSkinOption::xoPreview);
    return preview || !className.toLower().contains(QStringLiteral("preview"));
}

TSkinData *TSkinManage::lastOfKind(int kind) const
{
    for (auto it = data_.rbegin(); it != data_.rend(); ++it)
        if (static_cast<int>((*it)->SkinFormtype) == kind)
            return *it;
    return nullptr;
}

TSkinData *TSkinManage::FindSkindata(QWidget *window) const
{
    for (TSkinData *d : data_)
        if (d->SkinFormtype == TSkinFormType::sfOnlyThisForm && d->OwnerForm == window)
            return d;
    TSkinData *d = nullptr;
    if (TSkinnedForm::IsDialogClass(window))
        d = lastOfKind(static_cast<int>(TSkinFormType::sfDialog));
    if (!d)
        d = lastOfKind(static_cast<int>(TSkinFormType::sfMainform));
    if (!d && !data_.empty())
        d = data_.front();
    return d;
}

bool TSkinManage::AddForm(QWidget *window)
{
    if (!active_ || !window)
        return false;
    if (FindSkinForm(window) || SendSkinMessage(window, CN_IsSkinned) == 1)
        return false;
    // Only ordinary windows and dialogs get a frame: child widgets, popups, tool tips, splash screens and
    // the desktop keep theirs.
    const Qt::WindowType type = window->windowType();
    if (!window->isWindow() || (type != Qt::Window && type != Qt::Dialog))
        return false;
    if (window->width() == 0 || window->height() == 0)
        return false;
    if (window->property("Tag").toInt() == 99)
        return false;
    const QString className = QString::fromLatin1(window->metaObject()->className());
    if (!OnBeforeSkin(window, className))
        return false;
    TSkinData *data = FindSkindata(window);
    if (!data || data->Empty())
        return false;
    auto *form = new TSkinnedForm(this, window, data, className);
    forms_.push_back(form);
    // A window destroyed while skinned leaves the list at once; its skin is freed without touching it.
    connect(window, &QObject::destroyed, form, [this, form] {
        form->WindowDestroyed();
        if (std::find(forms_.begin(), forms_.end(), form) != forms_.end())
            forget(form);
    });
    PostSkinMessage(window, CN_SkinActive, 0, 1000);
    return true;
}

bool TSkinManage::AddMenu(QMenu *menu)
{
    if (!active_ || !menu || SendSkinMessage(menu, CN_IsSkinned) == 1)
        return false;
    std::erase_if(menus_, [](const QPointer<QMenu> &m) { return m.isNull(); });
    if (std::find(menus_.begin(), menus_.end(), menu) != menus_.end())
        return false;
    TSkinData *data = FindSkindata(menu);
    if (!data || data->Empty())
        return false;
    using enum TSkinControlType;
    const bool allowed = menuKind_ == 0   ? data->SkinControls.contains(xcPopupMenu)
                         : menuKind_ == 1 ? data->SkinControls.contains(xcMainMenu) ||
                                                data->SkinControls.contains(xcMenuItem)
                                          : data->SkinControls.contains(xcSystemMenu);
    if (!allowed || !popupSkinner_ || !popupSkinner_(menu, data))
        return false;
    menus_.push_back(menu);
    return true;
}

void TSkinManage::forget(TSkinnedForm *form)
{
    std::erase(forms_, form);
    form->deleteLater();
}

bool TSkinManage::DeleteForm(QWidget *window)
{
    TSkinnedForm *f = FindSkinForm(window);
    if (!f)
        return false;
    f->UnSubclass();
    forget(f);
    return true;
}

void TSkinManage::unskinAll(TSkinData *onlyData)
{
    const std::vector<TSkinnedForm *> forms = forms_;
    for (TSkinnedForm *f : forms) {
        if (onlyData && f->Data() != onlyData)
            continue;
        f->UnSubclass();
        forget(f);
    }
}

void TSkinManage::DeleteAllForms()
{
    unskinAll(nullptr);
}

void TSkinManage::ActiveForm(QWidget *window)
{
    if (window && window->isVisible() && window->isWindow())
        AddForm(window);
}

void TSkinManage::SetAction(int action, int milliseconds)
{
    pending_ = action;
    timer_.setInterval(milliseconds);
    if (switchedOn_) {
        timer_.start(); // a pending action is replaced and its delay starts again
        return;
    }
    if (action == 1)
        active_ = true;
    else if (action == 2)
        active_ = false;
}

void TSkinManage::rereadSkin(TSkinData *data)
{
    std::vector<TSkinnedForm *> mine;
    for (TSkinnedForm *f : forms_)
        if (f->Data() == data)
            mine.push_back(f);
    for (TSkinnedForm *f : mine) {
        f->DeleteSysbtn();
        f->InitSkinData();
    }
    for (TSkinnedForm *f : mine)
        f->SkinChange();
}

void TSkinManage::formOnlyAction(int action, TSkinData *data)
{
    switch (action) {
    case 1:
        active_ = true;
        ActiveForm(data->OwnerForm);
        break;
    case 2:
        for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
            if ((*it)->Data() == data) {
                TSkinnedForm *f = *it;
                f->UnSubclass();
                forget(f);
                break;
            }
        break;
    case 3:
        for (TSkinnedForm *f : forms_)
            if (f->Data() == data) {
                f->DeleteSysbtn();
                f->InitSkinData();
                f->SkinChange();
                break;
            }
        break;
    default:
        break;
    }
}

void TSkinManage::OnTimer()
{
    timer_.stop();
    TSkinData *data = current_;
    const int action = pending_;
    pending_ = 0;
    if (!data)
        return;
    if (data->SkinFormtype == TSkinFormType::sfOnlyThisForm) {
        formOnlyAction(action, data);
        current_ = nullptr;
        return;
    }
    switch (action) {
    case 1: {
        active_ = busy_ = true;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            ActiveForm(*it);
        busy_ = false;
        break;
    }
    case 2:
        active_ = false;
        unskinAll(nullptr);
        break;
    case 3:
        rereadSkin(data);
        break;
    case 7:
        if (QWidget *w = reskinWindow_) {
            if (TSkinnedForm *f = FindSkinForm(w)) {
                f->UnSubclass();
                forget(f);
            }
            AddForm(w);
        }
        return;
    default: // 0, 4, 5: nothing; 6: destroyed windows have already left the list
        break;
    }
    current_ = nullptr;
}
