#include "StoppedSession.h"

#include "CaseFiles.h"
#include "FileWrite.h"
#include "FloorPlan.h"

void ClearStoppedSession(const QString &dataFolder)
{
    if (dataFolder.isEmpty())
        return;
    RemoveStoppedWrites(dataFolder + QStringLiteral("dat"), {QStringLiteral(".ini"), QStringLiteral(".casesave")});
    RemoveStoppedWrites(CaseFolder(dataFolder), {QStringLiteral(".rtf"), QStringLiteral(".bmp")});
    RemoveStoppedWrites(dataFolder + QStringLiteral("compass"), {QStringLiteral(".jpg")});
    FloorPlan::RemoveAbandonedSteps(dataFolder + QStringLiteral("picTemp"));
}
