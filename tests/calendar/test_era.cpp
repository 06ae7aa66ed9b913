#include "obb_class.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const obb_class kEra;

// Number of entries in an era line: one more than its separators.
int EntryCount(const std::string &text)
{
    if (text.empty())
        return 0;
    int n = 1;
    for (size_t p = text.find("；"); p != std::string::npos; p = text.find("；", p + 1))
        ++n;
    return n;
}

} // namespace

TEST(Era, SingleEraYears)
{
    EXPECT_EQ(kEra.NianHao(1875), "[清] 德宗 爱新觉罗载湉 光绪1年");
    EXPECT_EQ(kEra.NianHao(1908), "[清] 德宗 爱新觉罗载湉 光绪34年");
    EXPECT_EQ(kEra.NianHao(1912), "[近、现代] 中华民国  民国1年");
    EXPECT_EQ(kEra.NianHao(1948), "[近、现代] 中华民国  民国37年");
    // The present era counts the common year itself, with two blanks for the missing personal name.
    EXPECT_EQ(kEra.NianHao(1949), "[当代] 中国  公历纪元1949年");
    EXPECT_EQ(kEra.NianHao(2024), "[当代] 中国  公历纪元2024年");
    EXPECT_EQ(kEra.NianHao(9999), "[当代] 中国  公历纪元9999年");
}

TEST(Era, FirstRecordAndBefore)
{
    EXPECT_EQ(kEra.NianHao(-2069), "[夏] 禹  禹1年");
    EXPECT_EQ(kEra.NianHao(-2070), "");
    EXPECT_EQ(kEra.NianHao(-2100), "");
}

TEST(Era, OverlappingErasInTableOrder)
{
    EXPECT_EQ(kEra.NianHao(684),
              "[唐] 中宗 李显 嗣圣1年；[唐] 睿宗 李旦 文明1年；[武周] 武则天 武曌 光宅1年");
    // The south first, then Eastern and Western Wei, as the table groups them.
    EXPECT_EQ(kEra.NianHao(540), "[南朝/梁] 武帝 萧衍 大同6年；[北朝/东魏] 孝静帝 元善见 兴和2年；"
                                 "[北朝/西魏] 文帝 元宝炬 大统6年");
}

TEST(Era, RowsWithCarriedYearCount)
{
    EXPECT_EQ(kEra.NianHao(905), "[唐] 昭宣帝 李祝 天佑2年");
    EXPECT_EQ(kEra.NianHao(1271), "[南宋] 度宗 赵禥 咸淳7年；[元] 世祖 孛儿只斤·忽必烈 至元8年");
    EXPECT_EQ(kEra.NianHao(959), "[五代/周] 世宗 柴荣 显德6年；[五代/周] 恭帝 郭宗训 显德6年");
}

TEST(Era, LaterHanContinuesTheJinCount)
{
    EXPECT_EQ(kEra.NianHao(947), "[五代/汉] 高祖 刘知远 天福12年");
    for (int y = 948; y <= 958; ++y)
        EXPECT_EQ(kEra.NianHao(y).find("天福"), std::string::npos) << y;
    EXPECT_NE(kEra.NianHao(948).find("乾祐1年"), std::string::npos);
}

TEST(Era, XipingCoversTheYearBeforeGuanghe)
{
    EXPECT_EQ(kEra.NianHao(177), "[东汉] 灵帝 刘宏 熹平6年");
    EXPECT_EQ(kEra.NianHao(178), "[东汉] 灵帝 刘宏 光和1年");
}

TEST(Era, EveryYearOfTheTableHasAnEntry)
{
    const auto eras = obb_class::Eras();
    ASSERT_EQ(eras.size(), 529u);
    const int first = eras.front().firstYear;
    const int last = eras.back().firstYear + eras.back().count - 1;
    for (int y = first; y <= last; ++y) {
        const std::string text = kEra.NianHao(y);
        ASSERT_FALSE(text.empty()) << y;
        EXPECT_GE(EntryCount(text), 1);
    }
    EXPECT_EQ(kEra.NianHao(last + 1), "");
}

TEST(Era, RecordsAreWellFormed)
{
    for (const TEraRec &e : obb_class::Eras()) {
        EXPECT_GE(e.count, 1) << e.era;
        EXPECT_GE(e.yearOffset, 0) << e.era;
        EXPECT_NE(std::string(e.dynasty), "") << e.era;
        EXPECT_NE(std::string(e.era), "") << e.firstYear;
    }
}
