#include "SkinMessages.h"

void RegisterSkinMessages()
{
    static const bool registered = [] {
        for (int n : {SM_SkinChange, SM_FrameRepaint, CN_SkinActive, CN_SkinEnable, SM_SysButtonAction,
                      SM_SysButtonVisible, CN_IsSkinned, SM_PaintFrameInto, SM_Probe, SM_AfterSkin})
            QEvent::registerEventType(n);
        return true;
    }();
    (void)registered;
}

TSkinMessage *AsSkinMessage(QEvent *event)
{
    switch (static_cast<int>(event->type())) {
    case SM_SkinChange: case SM_FrameRepaint: case CN_SkinActive: case CN_SkinEnable: case SM_SysButtonAction:
    case SM_SysButtonVisible: case CN_IsSkinned: case SM_PaintFrameInto: case SM_Probe: case SM_AfterSkin:
        return dynamic_cast<TSkinMessage *>(event);
    default:
        return nullptr;
    }
}

qintptr SendSkinMessage(QObject *receiver, int number, qintptr wParam, qintptr lParam)
{
    if (!receiver)
        return 0;
    TSkinMessage m(number, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &m);
    return m.result;
}

void PostSkinMessage(QObject *receiver, int number, qintptr wParam, qintptr lParam)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new TSkinMessage(number, wParam, lParam));
}
