#include "StoppedSession.h"

#include "CaseFiles.h"
#include "FloorPlan.h"
#include "TempFiles.h"

void ClearStoppedSession(const QString &dataFolder)
{
    if (dataFolder.isEmpty())
        return;
    RemoveStoppedWrites(dataFolder + QStringLiteral("dat"));
    RemoveStoppedWrites(CaseFolder(dataFolder));
    RemoveStoppedWrites(dataFolder + QStringLiteral("compass"));
    FloorPlan::RemoveAbandonedSteps(dataFolder + QStringLiteral("picTemp"));
}
