// The main window and the case file as a whole: a save waits for the check that reads the whole file beside the
// start, a file that another program holds is named and can be tried again, and a start that could not open the
// file saves nothing into it.
#include "TFrmMain.h"

#include "AppPath.h"
#include "MRecordBase.h"
#include "Prompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

namespace {

// What the wait says: why it waits, how large the file is (mb) and how long it has waited so far.
QString CheckWaitText(double mb, qint64 waitedMs)
{
    return QStringLiteral("正在检查案例数据库文件（%1 MB），检查完就保存，请稍候……\n已等待 %2 秒")
        .arg(QString::number(mb, 'f', 1))
        .arg(waitedMs / 1000);
}

} // namespace

bool TFrmMain::waitForCaseFileCheck()
{
    MRecordBase *db = CaseDb();
    if (db && db->QuickCheckRunning()) {
        QProgressDialog wait(this);
        wait.setObjectName(QStringLiteral("CaseFileCheckWait"));
        wait.setWindowTitle(QApplication::applicationDisplayName());
        wait.setCancelButtonText(QStringLiteral("取消"));
        wait.setRange(0, 100); // the share of the file's pages the check has read
        wait.setAutoClose(false);
        wait.setAutoReset(false);
        QElapsedTimer waited;
        waited.start();
        // The check only reads the file: its size is asked once, not at every poll.
        const double mb = double(QFileInfo(db->Path()).size()) / (1024 * 1024);
        wait.setLabelText(CheckWaitText(mb, 0));
        QTimer poll;
        connect(&poll, &QTimer::timeout, &wait, [&] {
            if (!db->QuickCheckRunning())
                wait.accept();
            else {
                wait.setLabelText(CheckWaitText(mb, waited.elapsed()));
                wait.setValue(int(db->QuickCheckProgress() * 100));
            }
        });
        poll.start(50);
        wait.exec();
        if (db->QuickCheckRunning())
            return false; // the user stopped waiting: nothing was saved
    }
    settleQuickCheck();
    return true;
}

bool TFrmMain::caseFileReady(const QString &failure)
{
    MRecordBase *db = CaseDb();
    if (db->Damaged()) {
        inform(failure + QLatin1Char('\n') + db->DamageText());
        return false;
    }
    if (!db->IsOpen()) {
        inform(failure + QStringLiteral("\n案例数据库没有打开：\n%1\n\n请关闭软件，等其他程序用完这个文件后再打开软件。")
                             .arg(QDir::toNativeSeparators(MRecordBase::DefaultPath(DataPath()))));
        return false;
    }
    return waitForCaseFileCheck();
}

bool TFrmMain::retryCaseFile(const QString &failure, const QString &after)
{
    MRecordBase *db = CaseDb();
    QString text = failure.isEmpty() ? db->Message() : failure + QLatin1Char('\n') + db->Message();
    if (!db->FileBusy()) {
        inform(text);
        return false;
    }
    if (!after.isEmpty())
        text += QStringLiteral("\n\n") + after;
    return Prompts::instance().message(QApplication::applicationDisplayName(), text, Prompts::Icon::Warning,
                                       Prompts::Buttons::RetryCancel, Prompts::Answer::Retry) == Prompts::Answer::Retry;
}

bool TFrmMain::loadCaseShown(int id, TRecordData &rec)
{
    for (;;) {
        switch (CaseDb()->LoadCaseEx(id, rec)) {
        case MRecordBase::TLoadResult::Loaded:
            return true;
        case MRecordBase::TLoadResult::NoSuchCase:
            return false;
        case MRecordBase::TLoadResult::Failed:
            if (!retryCaseFile(QStringLiteral("无法打开案例！")))
                return false;
        }
    }
}

bool TFrmMain::readClassesShown(QStringList &classes)
{
    while (!CaseDb()->ReadClasses(classes))
        if (!retryCaseFile(QStringLiteral("无法读取案例类别！")))
            return false;
    return true;
}

bool TFrmMain::saveCaseRetrying(int id, TRecordData &rec, const MRecordBase::TCaseFiles &files,
                                const TRecordData *opened)
{
    // The message of a failed save names the failure itself.
    while (!CaseDb()->SaveCase(id, rec, files, opened))
        if (!retryCaseFile(QString()))
            return false;
    return true;
}
