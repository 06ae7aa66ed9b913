#pragma once

#include "ScriptedPrompts.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

// A fresh program folder (with dat/) for each test, made the program folder for its duration, and scripted
// prompts that answer the window's questions.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString &relative) const;
    void writeFile(const QString &relative, const QByteArray &content) const;
    QByteArray readFile(const QString &relative) const;

    QTemporaryDir dir;
    ScriptedPrompts prompts;
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
