#include "GuiTestSupport.h"

#include "AppPath.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QInputMethodEvent>
#include <QTest>

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

void WithModalDialog(const std::function<void()> &open, const std::function<void(QWidget *)> &inDialog)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        ran = true;
        inDialog(modal);
        if (auto *dlg = qobject_cast<QDialog *>(modal); dlg && dlg->isVisible())
            dlg->reject();
    });
    open();
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
