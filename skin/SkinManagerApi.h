#pragma once

#include <functional>
#include <memory>

class TSkinData;

// What the skin model asks of the skin manager. The manager carries out queued actions on a timer; the last
// queued action wins. Actions: 1 skin every window, 2 unskin every window, 3 re-read the skin.
class SkinManagerApi {
public:
    virtual ~SkinManagerApi() = default;
    virtual void AddSkinData(TSkinData *data) = 0;
    virtual void RemoveSkinData(TSkinData *data) = 0;
    virtual void SetCurrentData(TSkinData *data) = 0;
    virtual void SetAction(int action, int milliseconds) = 0;
    virtual bool SwitchedOn() const = 0;
    virtual void SetSwitchedOn(bool on) = 0;
    virtual void SetActiveFlag(bool active) = 0;
    virtual void InstallHook() = 0;
    virtual void DeleteSysbtn() = 0;
};

// The one manager of the process, or none yet.
SkinManagerApi *SkinManager();
// The manager, made by the installed factory when there is none; none without a factory, and then the
// model's calls into the manager are skipped.
SkinManagerApi *CreateSkinManager();
void SetSkinManagerFactory(std::function<std::unique_ptr<SkinManagerApi>()> factory);
// Frees the manager (tests; the end of the program).
void ResetSkinManager();
