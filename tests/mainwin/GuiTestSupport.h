#pragma once

#include "MRecordBase.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

// A case written straight into the case file; one with `files` has its comment (.rtf) and floor plan (.bmp) under
// that name, one without names its comment after the owner and has no files.
struct StoredCase {
    const char *name;
    int sitting;
    int year;
    const char *category;
    const char *files = nullptr;
};

// A fresh program folder (with dat/) for each test, made the program folder for its duration, and scripted
// prompts that answer the window's questions.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString &relative) const;
    void writeFile(const QString &relative, const QByteArray &content) const;
    QByteArray readFile(const QString &relative) const;
    // Ids 1, 2, ... in order.
    void storeCases(std::initializer_list<StoredCase> cases);

    QTemporaryDir dir;
    ScriptedPrompts prompts;
};

// A main window over cases stored before it opens; each test answers every question the window asks.
class CaseWindowTest : public ProgramFolderTest {
protected:
    void TearDown() override;

    std::unique_ptr<TFrmMain> open();
    // A point on the case's row near its start (a narrow tree shows only the start of a long row), scrolled to.
    QPoint rowOf(TFrmMain &w, int id);
    // A click on the case's row, then a double click.
    void doubleClickCase(TFrmMain &w, int id);
};

template <typename T>
T *find(QWidget *form, const char *name)
{
    T *w = form->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << "no control " << name;
    return w;
}

// Runs `inDialog` on the modal dialog that `open` shows, then closes that dialog if it is still open.
void WithModalDialog(const std::function<void()> &open, const std::function<void(QWidget *)> &inDialog);

// Acts on each modal window as it comes up, in turn (found by object name), while the window under test waits in
// its own event loop: that the steps run at all shows that the window keeps handling events.
class OnModals {
public:
    using Step = std::pair<QString, std::function<void(QWidget *)>>;
    explicit OnModals(std::vector<Step> steps);
    bool allRan() const { return next_ == steps_.size(); }

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    QTimer poll_;
};

// Closes `w`, answering its questions in turn with `answers` (确定要关闭软件吗 first); whether it closed.
bool CloseAnswering(QWidget &w, ScriptedPrompts &prompts, std::initializer_list<Prompts::Answer> answers);

// Closes `w` holding a new case that was laid out: Yes to closing, No to saving the case; whether it closed.
inline bool CloseUnsaved(QWidget &w, ScriptedPrompts &prompts)
{
    return CloseAnswering(w, prompts, {Prompts::Answer::Yes, Prompts::Answer::No});
}

// Types into a box over what it held, as the user does: Chinese through the input method, the rest by keys.
void TypeOver(QWidget *box, const QString &text);

// Types a house into the main window's inputs: facing degree, building year, owner's name, owner's birth year.
void EnterHouse(QWidget &w, const QString &degree, const QString &year, const QString &name, const QString &birth);
