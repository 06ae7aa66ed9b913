// The whole-database commands of the 文件 menu: restore, backup, delete all, compaction, adding another case
// file and exporting categories into a new one. The work is MRecordBase's; the window asks, shows progress
// and results, and ends the program where the case file it holds is no longer the one on disk.
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "CommentFile.h"
#include "DiskSpace.h"
#include "FileDialogs.h"
#include "FileRemove.h"
#include "MRecordBase.h"
#include "MUiFont.h"
#include "Prompts.h"
#include "RtfText.h"
#include "ShellOpen.h"
#include "TFrmExportClass.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextDocument>
#include <QThread>

#include <cerrno>

namespace {

// "2026年12月7日9时5分3秒": the local time as backup folders and exported files are named.
QString TimeStamp()
{
    const QDateTime t = QDateTime::currentDateTime();
    return QStringLiteral("%1年%2月%3日%4时%5分%6秒")
        .arg(t.date().year())
        .arg(t.date().month())
        .arg(t.date().day())
        .arg(t.time().hour())
        .arg(t.time().minute())
        .arg(t.time().second());
}

// A backup that failed in the folder made for it: the folder goes, with all that was copied into it (room on a
// full disk again); where it cannot go, it is named so that no one takes it for a whole backup. It lacks the
// completion mark either way, so 还原 refuses it. What is said about it.
QString DropHalfBackup(const QString &folder)
{
    if (RemoveTree(folder))
        return QStringLiteral("这个不完整的备份已经删除。");
    const QString named = folder + QStringLiteral("_不完整");
    if (QDir().rename(folder, named))
        return QStringLiteral("这个不完整的备份已改名为“%1”，它不能用来还原。").arg(QDir::toNativeSeparators(named));
    return QStringLiteral("这个不完整的备份留在“%1”，它不能用来还原。").arg(QDir::toNativeSeparators(folder));
}

QByteArray CommentRtf(const QString &text)
{
    QTextDocument doc;
    doc.setPlainText(text);
    return WriteRtf(doc);
}

} // namespace

TRemarkCodec CaseCommentCodec()
{
    return {CommentRtf, [](const QString &path, QString &text) {
                text = CommentFileText(path);
                return true; // an unreadable file reads as no text, which stores as the placeholder comment
            }};
}

void TFrmMain::buildDatabaseMenu()
{
    struct Item {
        const char *name;
        const char16_t *text;
        void (TFrmMain::*command)();
    };
    static const Item items[] = {
        {"menu_f_import", u"还原案例数据", &TFrmMain::menu_f_importClick},
        {"menu_f_export", u"备份案例数据", &TFrmMain::menu_f_exportClick},
        {"menu_f_clearr", u"删除案例数据", &TFrmMain::menu_f_clearrClick},
        {"N33", u"整理数据", &TFrmMain::N33Click},
        {"db1", u"添加db文件", &TFrmMain::db1Click},
        {"db2", u"导出db文件", &TFrmMain::db2Click},
    };
    for (const Item &i : items) {
        auto *a = new QAction(QString::fromUtf16(i.text), ui->mnuFile);
        a->setObjectName(QLatin1String(i.name));
        ui->mnuFile->insertAction(ui->fnumclose, a);
        connect(a, &QAction::triggered, this, i.command);
    }
    ui->mnuFile->insertSeparator(ui->fnumclose);
}

int TFrmMain::runWithProgress(const std::function<int(const std::function<void(const QString &)> &)> &work)
{
    settleQuickCheck();
    QTextEdit *pane = ui->RedtPingYu;
    const QString comments = pane->toHtml();
    const bool modified = pane->document()->isModified();
    const int scrolled = pane->verticalScrollBar()->value();
    setEnabled(false);
    QPointer<QTextEdit> target(pane);
    int result = 0;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = work([target](const QString &text) {
            QMetaObject::invokeMethod(
                target, [target, text] { if (target) target->setPlainText(text); }, Qt::QueuedConnection);
        });
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    // The progress shown, the pane holds the open case's comments again, unchanged.
    QCoreApplication::sendPostedEvents(pane);
    pane->setHtml(comments);
    pane->document()->setModified(modified);
    pane->verticalScrollBar()->setValue(scrolled);
    setEnabled(true);
    return result;
}

// The case file on disk is no longer the one this window shows: the program ends at once, without the closing
// questions and without writing its window settings.
void TFrmMain::endWithoutClosing()
{
    m_closed = true;
    close();
    QCoreApplication::quit();
}

void TFrmMain::menu_f_importClick()
{
    if (RefuseWhileTreeLoads())
        return;
    Prompts &p = Prompts::instance();
    if (!p.askYesNo(QStringLiteral("注意了"), QStringLiteral("执行此操作将覆盖现有的案例数据，要继续吗？"),
                    Prompts::Answer::No, Prompts::Icon::Warning))
        return;
    const QString chosen = FileDialogs::FolderItem(FileKind::Backup, QStringLiteral("请选择要还原的数据位置："));
    if (chosen.isEmpty())
        return;
    const QString folder = WithSlash(chosen);
    const QString base = QLatin1String(DbBaseName);
    if (!QFileInfo(folder + base + QStringLiteral(".db")).isFile()) {
        inform(QStringLiteral("没有要还原的db数据文件！请选择备份时建立的、以备份时间命名的文件夹"
                              "（例如“Quorin_备份_2026年12月7日9时5分3秒”），而不是它所在的文件夹。"));
        return;
    }
    if (!QFileInfo(folder + base + QStringLiteral("_f")).isDir()) {
        inform(QStringLiteral("没有要还原的评语文件夹！"));
        return;
    }
    // The live data is replaced only once the backup is checked and copied whole; nothing is deleted first.
    MRecordBase *db = CaseDb();
    if (!runWithProgress([&](const auto &) { return db->Restore(folder) ? 1 : 0; })) {
        inform(db->Message());
        return;
    }
    inform(QStringLiteral("成功还原，请重新打开软件！"));
    endWithoutClosing();
}

void TFrmMain::menu_f_exportClick()
{
    if (RefuseWhileTreeLoads())
        return;
    const QString chosen = FileDialogs::Folder(FileKind::Backup, QStringLiteral("请选择备份位置："));
    if (chosen.isEmpty())
        return;
    const QString folder = WithSlash(chosen) + QLatin1String(DbBaseName) + QStringLiteral("_备份_") + TimeStamp();
    if (QFileInfo::exists(folder)) {
        inform(QStringLiteral("当前时间的文件夹已经存在，请稍后再备份！"));
        return;
    }
    MRecordBase *db = CaseDb();
    db->ClearStoppedCopies(chosen); // what a backup stopped here before left half-written
    errno = 0;
    if (!QDir().mkdir(folder)) {
        const bool full = OutOfRoom(folder, errno, 1);
        inform(QStringLiteral("无法创建备份文件夹！") +
               (full ? QStringLiteral("\n“%1”所在的磁盘已满。").arg(QDir::toNativeSeparators(chosen)) : QString()));
        return;
    }
    if (!runWithProgress([&](const auto &) { return db->Backup(folder) ? 1 : 0; })) {
        inform(db->Message() + u'\n' + DropHalfBackup(folder));
        return;
    }
    inform(QStringLiteral("成功备份，已保存到") + QDir::toNativeSeparators(WithSlash(folder)) + QStringLiteral("目录下"));
}

void TFrmMain::menu_f_clearrClick()
{
    if (RefuseWhileTreeLoads())
        return;
    Prompts &p = Prompts::instance();
    if (!p.askYesNo(QStringLiteral("删除所有案例"), QStringLiteral("确定要删除所有案例吗？"), Prompts::Answer::No,
                    Prompts::Icon::Warning))
        return;
    const QString code = QStringLiteral("%1").arg(QRandomGenerator::global()->bounded(10000), 4, 10, QLatin1Char('0'));
    // The code is in the title as ever, and in the box too: a window manager cuts a small box's long title.
    const std::optional<QString> typed = p.inputText(QStringLiteral("删除码：%1 ").arg(code),
                                                     QStringLiteral("删除码：%1\n请输入删除码：      ").arg(code));
    if (!typed)
        return;
    if (typed->trimmed() != code) {
        inform(QStringLiteral("删除码错误，无法删除！"));
        return;
    }
    MRecordBase *db = CaseDb();
    if (!runWithProgress([&](const auto &) { return db->DeleteAll() ? 1 : 0; })) {
        inform(db->Message());
        return;
    }
    inform(QStringLiteral("成功删除所有记录，请重新打开软件！"));
    endWithoutClosing();
}

void TFrmMain::N33Click()
{
    // Compaction and import end the program without the closing questions: a changed case is offered for
    // saving first, so that it is never lost with it.
    if (RefuseWhileTreeLoads() || !offerToSaveCase())
        return;
    MRecordBase *db = CaseDb();
    if (db->GetPrimaryId() < 500) {
        inform(QStringLiteral("案例数据过少，无需整理！"));
        return;
    }
    if (!Prompts::instance().askYesNo(
            QStringLiteral("整理数据"),
            QStringLiteral("只有数据库案例较多，并且经过频繁删除、改名等操作，才需要整理数据。确定要整理吗？"),
            Prompts::Answer::No, Prompts::Icon::Warning))
        return;
    const int count = runWithProgress([&](const auto &progress) { return db->Compact(progress); });
    inform(count >= 1 ? QStringLiteral(" %1 个案例已经整理出来！").arg(count) : db->Message());
    endWithoutClosing();
}

void TFrmMain::db1Click()
{
    if (RefuseWhileTreeLoads() || !offerToSaveCase())
        return;
    const QString file =
        FileDialogs::OpenFile(FileKind::CaseFile, QStringLiteral("添加db文件"), QStringLiteral("all.db (*.db)"));
    if (file.isEmpty())
        return;
    if (!QFileInfo(file).isFile()) {
        inform(QStringLiteral("不存在这个数据库文件，无法导入！"));
        return;
    }
    MRecordBase *db = CaseDb();
    const int count = runWithProgress([&](const auto &progress) { return db->ImportDb(file, progress); });
    if (count < 1) {
        inform(db->Message());
        return;
    }
    // The cases are in; comment files that could not be written are said (the next start writes them).
    const QString unwritten = db->Message();
    inform(QStringLiteral("共导入 %1 个案例！").arg(count) + (unwritten.isEmpty() ? QString() : u'\n' + unwritten));
    inform(QStringLiteral("请重启软件！"));
    endWithoutClosing();
}

void TFrmMain::db2Click()
{
    if (RefuseWhileTreeLoads())
        return;
    MRecordBase *db = CaseDb();
    QStringList classes;
    db->ReadClasses(classes);
    TFrmExportClass dlg(classes, this);
    AppUiFont.ApplyToForm(&dlg);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dlg.CheckedClasses();
    const bool all = dlg.AllChecked();
    const QString folder = FileDialogs::Folder(FileKind::CaseFile, QStringLiteral("请选择存放位置："));
    if (folder.isEmpty())
        return;
    const QString file = WithSlash(folder) + QLatin1String(DbBaseName) + QLatin1Char('_') + TimeStamp() + QStringLiteral(".db");
    if (QFileInfo::exists(file)) {
        inform(QStringLiteral("当前时间的数据库文件已经存在，请稍后再导出！"));
        return;
    }
    db->ClearStoppedCopies(folder); // what an export stopped here before left half-written
    const int count =
        runWithProgress([&](const auto &progress) { return db->ExportDb(file, chosen, all, progress); });
    if (count < 1) {
        inform(db->Message()); // no case to export, or why the file could not be written
        return;
    }
    if (Prompts::instance().askYesNo(
            QStringLiteral("打开文件夹"),
            QStringLiteral(" %1 个案例数据文件已经保存到：%2，要打开所在文件夹吗？").arg(count).arg(QDir::toNativeSeparators(file)),
            Prompts::Answer::Yes, Prompts::Icon::Information))
        ShellOpen(QFileInfo(file).absolutePath());
}
