#pragma once

#include "SkinManagerApi.h"

#include <QObject>
#include <QPointer>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TSkinData;
class TSkinnedForm;

// The skin manager: decides which top-level windows get a painted frame, keeps one TSkinnedForm per skinned
// window, and runs the skin-wide actions the skin model queues (1 skin every window, 2 unskin every window,
// 3 re-read the skin, 6 free destroyed entries, 7 re-skin one window) 250 ms after the last one was queued.
//
// It learns of windows through an application-wide event filter (InstallHook): a window that is shown or
// activated is offered to AddForm, a shown QMenu to AddMenu. A window destroyed while skinned leaves the
// list at once. User-interface thread only.
//
// A form is never skinned when its dynamic property "Tag" is 99.
class TSkinManage : public QObject, public SkinManagerApi {
    Q_OBJECT
public:
    TSkinManage();
    ~TSkinManage() override;
    // Makes the skin model create this manager.
    static void Install();

    // --- what the skin model asks
    void AddSkinData(TSkinData *data) override;
    void RemoveSkinData(TSkinData *data) override;
    void SetCurrentData(TSkinData *data) override { current_ = data; }
    void SetAction(int action, int milliseconds) override;
    bool SwitchedOn() const override { return switchedOn_; }
    void SetSwitchedOn(bool on) override { switchedOn_ = on; }
    void SetActiveFlag(bool active) override { active_ = active; }
    void InstallHook() override;
    void DeleteSysbtn() override;

    // --- admission and the list of skinned windows
    bool AddForm(QWidget *window);
    bool AddMenu(QMenu *menu);
    bool DeleteForm(QWidget *window); // un-skins the window and frees its frame skin
    void DeleteAllForms();
    void ActiveForm(QWidget *window);
    TSkinData *FindSkindata(QWidget *window) const;
    TSkinnedForm *FindSkinForm(const QWidget *window) const;
    bool OnBeforeSkin(QWidget *window, const QString &className) const;
    int FormCount() const { return static_cast<int>(forms_.size()); }
    bool Active() const { return active_; }
    int PendingAction() const { return pending_; }
    void SetReskinWindow(QWidget *window) { reskinWindow_ = window; }

    // Popup menus: the kind being tracked (0 popup, 1 menu bar, 2 system menu) and who skins an admitted
    // popup. Without a popup skinner no popup is skinned.
    void SetMenuKind(int kind) { menuKind_ = kind; }
    void SetPopupSkinner(std::function<bool(QMenu *, TSkinData *)> skinner) { popupSkinner_ = std::move(skinner); }
    int MenuCount() const { return static_cast<int>(menus_.size()); }

    void OnTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void forget(TSkinnedForm *form); // off the list, freed once control is back in the event loop
    void unskinAll(TSkinData *onlyData);
    void rereadSkin(TSkinData *data);
    void formOnlyAction(int action, TSkinData *data);
    TSkinData *lastOfKind(int kind) const;

    QTimer timer_;
    std::vector<TSkinnedForm *> forms_; // owned; freed by forget()
    std::vector<QPointer<QMenu>> menus_;
    std::vector<TSkinData *> data_;
    TSkinData *current_ = nullptr;
    QPointer<QWidget> reskinWindow_;
    std::function<bool(QMenu *, TSkinData *)> popupSkinner_;
    int pending_ = 0;
    int menuKind_ = 0;
    bool active_ = false, busy_ = false, switchedOn_ = false, hooked_ = false;
};
