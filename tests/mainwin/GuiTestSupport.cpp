#include "GuiTestSupport.h"

#include "AppPath.h"
#include "CaseFiles.h"
#include "CaseTree.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTimer>
#include <QInputMethodEvent>
#include <QTest>
#include <QTreeWidget>

void ProgramFolderTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    SetAppPath(dir.path());
    ASSERT_TRUE(MakeProgramFolders());
}

void ProgramFolderTest::TearDown()
{
    SetAppPath(QString());
}

QString ProgramFolderTest::path(const QString &relative) const
{
    return dir.path() + QLatin1Char('/') + relative;
}

void ProgramFolderTest::writeFile(const QString &relative, const QByteArray &content) const
{
    QFile f(path(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray ProgramFolderTest::readFile(const QString &relative) const
{
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void CaseWindowTest::TearDown()
{
    EXPECT_EQ(prompts.unexpected(), 0);
    ProgramFolderTest::TearDown();
}

void ProgramFolderTest::storeCases(std::initializer_list<StoredCase> cases)
{
    MRecordBase db(path(""));
    ASSERT_EQ(db.Open(MRecordBase::DefaultPath(path(""))), 0);
    QImage plan(40, 30, QImage::Format_RGB32);
    plan.fill(Qt::yellow);
    for (const StoredCase &c : cases) {
        TRecordData r;
        r.name = QString::fromUtf8(c.name);
        r.mountain = uint8_t(c.sitting);
        r.buildYear = int16_t(c.year);
        r.className = QString::fromUtf8(c.category);
        r.date = {1980, 5, 6, 7, 8};
        r.remarkFile = c.files ? QString::fromUtf8(c.files) : r.name;
        ASSERT_GT(db.InsertCase(r), 0);
        if (!c.files)
            continue;
        writeFile("Quorin_f/" + r.remarkFile + ".rtf", "{\\rtf1 " + QByteArray(c.name) + "}");
        ASSERT_TRUE(plan.save(RemarkFilePath(path(""), r.remarkFile).replace(".rtf", ".bmp"), "BMP"));
    }
}

std::unique_ptr<TFrmMain> CaseWindowTest::open()
{
    auto w = std::make_unique<TFrmMain>();
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get())); // the tree laid out, for the pointer
    return w;
}

QPoint CaseWindowTest::rowOf(TFrmMain &w, int id)
{
    auto *tree = find<QTreeWidget>(&w, "Tree");
    tree->scrollToItem(w.Tree().NodeOf(id));
    QApplication::processEvents(); // the rows laid out as expanded
    const QRect rect = tree->visualItemRect(w.Tree().NodeOf(id));
    return {qMin(rect.center().x(), rect.left() + 12), rect.center().y()};
}

void CaseWindowTest::doubleClickCase(TFrmMain &w, int id)
{
    const QPoint row = rowOf(w, id);
    QWidget *rows = find<QTreeWidget>(&w, "Tree")->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, row);
    QTest::mouseDClick(rows, Qt::LeftButton, {}, row);
}

void WithModalDialog(const std::function<void()> &open, const std::function<void(QWidget *)> &inDialog)
{
    // The box that waits for the start's check of the case file may come first on a busy machine: the dialog
    // meant is the one after it.
    bool ran = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (ran || !modal || modal->objectName() == QLatin1String("CaseFileCheckWait"))
            return;
        ran = true;
        poll.stop();
        inDialog(modal);
        if (auto *dlg = qobject_cast<QDialog *>(modal); dlg && dlg->isVisible())
            dlg->reject();
    });
    poll.start(0);
    open();
    poll.stop();
    EXPECT_TRUE(ran) << "no modal dialog was shown";
}

OnModals::OnModals(std::vector<Step> steps) : steps_(std::move(steps))
{
    QObject::connect(&poll_, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (next_ < steps_.size() && modal && modal->objectName() == steps_[next_].first)
            steps_[next_++].second(modal);
    });
    poll_.start(20);
}

bool CloseAnswering(QWidget &w, ScriptedPrompts &prompts, std::initializer_list<Prompts::Answer> answers)
{
    for (Prompts::Answer a : answers)
        prompts.reply(a);
    return w.close();
}

void TypeOver(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.at(0).unicode() < 0x80) {
        QTest::keyClicks(box, text);
        return;
    }
    QInputMethodEvent committed;
    committed.setCommitString(text);
    QApplication::sendEvent(box, &committed);
}

void EnterHouse(QWidget &w, const QString &degree, const QString &year, const QString &name, const QString &birth)
{
    find<QLineEdit>(&w, "LedtZtd")->setText(degree);
    find<QLineEdit>(&w, "EdtYear")->setText(year);
    find<QLineEdit>(&w, "EdtName")->setText(name);
    find<QLineEdit>(&w, "LedtShengNian")->setText(birth);
}
