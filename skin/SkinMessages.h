#pragma once

#include <QCoreApplication>
#include <QEvent>

// The skin engine's private messages: event types with fixed numbers, each carrying two arguments and an
// answer, sent or posted to a window like any other event.
enum SkinMessageNumber : int {
    SM_SkinChange = 0x3401,      // re-apply a changed skin
    SM_FrameRepaint = 0x3502,    // repaint the painted frame
    CN_SkinActive = 0x3503,      // posted once to an admitted window (0, 1000): build the frame skin now
    CN_SkinEnable = 0x3506,      // switch one control's skin on (wParam > 0) or off
    SM_SysButtonAction = 0x3514, // posted to the window: a caption button's own action (wParam the action)
    SM_SysButtonVisible = 0x3515, // sent: may the button (wParam its code, lParam its action) show? answer > 0
    CN_IsSkinned = 0x3523,       // a skinned window answers 1
    SM_PaintFrameInto = 0xBC4B,  // with lParam SkinMark: paint the frame into the QPainter* in wParam
    SM_Probe = 0xBC4D,           // answers SkinMark when lParam is SkinMark, else 1
    SM_AfterSkin = 0xBC4E,       // sent by a window to itself when its skin has been (re)applied
};
constexpr qintptr SkinMark = 0x41A2;

class TSkinMessage : public QEvent {
public:
    TSkinMessage(int number, qintptr wParam = 0, qintptr lParam = 0)
        : QEvent(static_cast<QEvent::Type>(number)), wParam(wParam), lParam(lParam) {}
    int number() const { return static_cast<int>(type()); }
    qintptr wParam, lParam;
    qintptr result = 0;
};

// Reserves the numbers above with the event system (once; later calls do nothing).
void RegisterSkinMessages();
// The receiver's answer (0 when nobody answers).
qintptr SendSkinMessage(QObject *receiver, int number, qintptr wParam = 0, qintptr lParam = 0);
void PostSkinMessage(QObject *receiver, int number, qintptr wParam = 0, qintptr lParam = 0);
// The event as a skin message, or none.
TSkinMessage *AsSkinMessage(QEvent *event);
