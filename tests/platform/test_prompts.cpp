#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

using Answer = Prompts::Answer;

TEST(ScriptedPrompts, AnswersInOrderAndRecordsEveryQuestion)
{
    ScriptedPrompts prompts;
    prompts.reply(Answer::Yes).reply(QStringLiteral("新类别")).reply(QStringLiteral("/tmp/a.db"));

    Prompts &p = Prompts::instance();
    EXPECT_TRUE(p.askYesNo("注意", "确定要删除吗？"));
    EXPECT_EQ(p.inputText("类别", "名称：", "旧"), std::optional<QString>("新类别"));
    EXPECT_EQ(p.openFileName("打开", "/tmp", "Database (*.db)"), "/tmp/a.db");
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_EQ(prompts.pendingReplies(), 0);

    ASSERT_EQ(prompts.asked().size(), 3);
    const auto &q = prompts.asked()[0];
    EXPECT_EQ(q.kind, ScriptedPrompts::Kind::Message);
    EXPECT_EQ(q.title, "注意");
    EXPECT_EQ(q.text, "确定要删除吗？");
    EXPECT_EQ(q.icon, Prompts::Icon::Question);
    EXPECT_EQ(q.buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(q.defaultAnswer, Answer::No);
    EXPECT_EQ(prompts.asked()[1].initial, "旧");
    EXPECT_EQ(prompts.asked()[2].text, "Database (*.db)");
}

TEST(ScriptedPrompts, CancelAndChoosers)
{
    ScriptedPrompts prompts;
    prompts.reply(ScriptedPrompts::Cancel{}).reply(QColor(Qt::red)).reply(QFont("Noto Serif CJK SC"))
        .reply(ScriptedPrompts::Cancel{});
    Prompts &p = Prompts::instance();
    EXPECT_EQ(p.inputText("t", "l"), std::nullopt);
    EXPECT_EQ(p.chooseColour("颜色", Qt::black), QColor(Qt::red));
    EXPECT_EQ(p.chooseFont("字体", QFont())->family(), "Noto Serif CJK SC");
    EXPECT_TRUE(p.folderName("目录", "/tmp").isEmpty());
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST(ScriptedPrompts, UnscriptedOrMismatchedQuestionsAreCountedAndTakeTheDefault)
{
    ScriptedPrompts prompts;
    prompts.reply(Answer::Retry).reply(Answer::Ok);
    Prompts &p = Prompts::instance();
    EXPECT_FALSE(p.askYesNo("清除", "?"));                 // Retry is not a Yes/No answer: the default No
    EXPECT_TRUE(p.inputText("t", "l").has_value() == false); // an Answer where a text was wanted
    EXPECT_EQ(p.message("提示", "x", Prompts::Icon::None, Prompts::Buttons::OkCancel), Answer::Ok); // none left
    EXPECT_EQ(prompts.unexpected(), 3);
}

TEST(ScriptedPrompts, InstallsItselfAndRestoresThePrevious)
{
    Prompts *production = &Prompts::instance();
    {
        ScriptedPrompts outer;
        {
            ScriptedPrompts inner;
            EXPECT_EQ(&Prompts::instance(), &inner);
        }
        EXPECT_EQ(&Prompts::instance(), &outer);
    }
    EXPECT_EQ(&Prompts::instance(), production);
}

} // namespace
