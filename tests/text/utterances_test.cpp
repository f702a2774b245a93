#include "text/utterances.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pagora;

namespace {

std::u16string times(int n, std::u16string_view s)
{
    std::u16string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

struct PlanCase {
    const char *name;
    std::u16string text;
    std::int32_t from;
    std::vector<std::pair<std::int32_t, std::int32_t>> expected; // start, length
};

class Plan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Plan, CutsAtSentenceEnds)
{
    const PlanCase &c = GetParam();
    std::vector<Utterance> expected;
    for (const auto &[start, length] : c.expected)
        expected.push_back({7, start, length});
    EXPECT_EQ(planUtterances(c.text, 7, c.from), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Plan,
    ::testing::Values(
        PlanCase{"EveryEnd", u"甲乙。丙丁！戊？己…", 0, {{0, 3}, {3, 3}, {6, 2}, {8, 2}}},
        PlanCase{"LineBreakEndsAHeading", u"第一章\n子曰", 0, {{0, 3}, {4, 2}}},
        PlanCase{"ClosingQuoteStays", u"他說：「好。」她笑了。", 0, {{0, 7}, {7, 4}}},
        PlanCase{"EllipsisAndNestedQuotes", u"啊……」』走", 0, {{0, 5}, {5, 1}}},
        PlanCase{"LongCutAfterComma", times(150, u"甲") + u"，" + times(100, u"乙") + u"。", 0, {{0, 151}, {151, 101}}},
        PlanCase{"LongWithoutPause", times(250, u"丙") + u"。", 0, {{0, 200}, {200, 51}}},
        PlanCase{"CutKeepsSurrogatesWhole", times(199, u"甲") + u"𠀀" + times(10, u"乙"), 0, {{0, 199}, {199, 12}}},
        PlanCase{"WhiteSpaceLeftOut", u"  甲。 \n\u3000乙\r\n\r\n   ", 0, {{2, 2}, {7, 1}}},
        PlanCase{"NonBmpCountsTwoUnits", u"𠀀甲。乙", 0, {{0, 4}, {4, 1}}},
        PlanCase{"FromMidSentence", u"甲乙。丙丁。", 1, {{1, 2}, {3, 3}}},
        PlanCase{"FromSecondHalfOfAPair", u"𠀀。乙", 1, {{2, 1}, {3, 1}}}, PlanCase{"FromPastTheEnd", u"甲。", 9, {}}),
    [](const ::testing::TestParamInfo<PlanCase> &info) { return std::string(info.param.name); });

} // namespace
