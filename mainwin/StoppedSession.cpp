#include "StoppedSession.h"

#include "CaseFiles.h"
#include "FileLinks.h"
#include "FloorPlan.h"
#include "MRecordBase.h"
#include "TempFiles.h"

#include <QFileInfo>

void ClearStoppedSession(const QString &dataFolder)
{
    if (dataFolder.isEmpty())
        return;
    RemoveStoppedWrites(dataFolder + QStringLiteral("dat"));
    // A case file kept elsewhere through a link is replaced beside the file the link leads to: what a stopped
    // replacement left lies there.
    const QString caseFileFolder = QFileInfo(LinkedPath(MRecordBase::DefaultPath(dataFolder))).absolutePath();
    if (caseFileFolder != QFileInfo(dataFolder + QStringLiteral("dat")).absoluteFilePath())
        RemoveStoppedWrites(caseFileFolder);
    RemoveStoppedWrites(CaseFolder(dataFolder));
    RemoveStoppedWrites(dataFolder + QStringLiteral("compass"));
    FloorPlan::RemoveAbandonedSteps(dataFolder + QStringLiteral("picTemp"));
}
