#include "notes/anchoring.h"
#include "notes/fingerprint.h"
#include "notes/sha256.h"
#include "prose_text.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pagora;

namespace {

struct DigestCase {
    const char *name;
    std::string input;
    const char *hex;
};

class Sha256Vectors : public ::testing::TestWithParam<DigestCase> {};

// Fed in pieces of 1, 63 and 65 bytes as well: the block buffer must not care.
TEST_P(Sha256Vectors, MatchesPublishedDigest)
{
    const DigestCase &c = GetParam();
    EXPECT_EQ(sha256Hex(c.input), c.hex);
    for (const std::size_t piece : {std::size_t(1), std::size_t(63), std::size_t(65)}) {
        Sha256 h;
        for (std::size_t i = 0; i < c.input.size(); i += piece)
            h.add(c.input.data() + i, std::min(piece, c.input.size() - i));
        EXPECT_EQ(h.finishHex(), c.hex) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fips180, Sha256Vectors,
    ::testing::Values(DigestCase{"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                      DigestCase{"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                      DigestCase{"twoBlocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                                 "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
                      DigestCase{"millionA", std::string(1000000, 'a'),
                                 "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    [](const auto &info) { return info.param.name; });

// Books are keyed by this value: it must never change between versions.
TEST(Fingerprint, IsTheDigestOfTheSectionsInUtf16le)
{
    EXPECT_EQ(textFingerprint({u"學而", u"時習"}), "14d6968925d110d50d0c8f1d139eb9e3346c66db4f58ae2ffa1e9764e221e066");
}

// Two sections of generated prose; the passage is 12 characters of section 1
// from offset 1000.
std::vector<std::u16string> book()
{
    ProseShape a;
    a.units = 3000;
    a.cutToUnits = true;
    ProseShape b = a;
    b.seed = 11;
    return {proseText(a), proseText(b)};
}

struct AnchorCase {
    const char *name;
    std::function<void(std::vector<std::u16string> &)> edit;
    std::optional<AnchorRange> expected;
};

class Reanchoring : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(Reanchoring, FindsThePassageOrDetachesIt)
{
    const auto original = book();
    const auto anchor = anchorAt(original, 1, 1000, 12);
    ASSERT_TRUE(anchor);
    auto edited = original;
    GetParam().edit(edited);
    EXPECT_EQ(reanchor(*anchor, edited), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, Reanchoring,
    ::testing::Values(
        AnchorCase{"unchanged", [](auto &) {}, AnchorRange{1, 1000, 12}},
        AnchorCase{"insertedBefore", [](auto &t) { t[0].insert(200, 37, u'閏'); }, AnchorRange{1, 1037, 12}},
        AnchorCase{"removedBefore", [](auto &t) { t[0].erase(100, 500); }, AnchorRange{1, 500, 12}},
        AnchorCase{"passageEdited", [](auto &t) { t[0].replace(1004, 4, u"改過的字句"); }, AnchorRange{1, 1000, 13}},
        AnchorCase{"sectionSplit",
                   [](auto &t) {
                       const std::u16string head = t[0].substr(0, 800);
                       t[0].erase(0, 800);
                       t.insert(t.begin(), head);
                   },
                   AnchorRange{2, 200, 12}},
        AnchorCase{"movedToAnotherSection",
                   [](auto &t) {
                       const std::u16string moved = t[0].substr(900, 200);
                       t[0].erase(900, 200);
                       t[1].insert(500, moved);
                   },
                   AnchorRange{2, 600, 12}},
        // A second copy far away with other surroundings does not win.
        AnchorCase{"copyElsewhere", [](auto &t) { t[1].insert(10, t[0].substr(1000, 12)); }, AnchorRange{1, 1000, 12}},
        AnchorCase{"passageRemoved", [](auto &t) { t[0].erase(980, 60); }, std::nullopt},
        AnchorCase{"sectionGone", [](auto &t) { t.erase(t.begin()); }, std::nullopt}),
    [](const auto &info) { return info.param.name; });

TEST(AnchorAt, KeepsSurrogatePairsWholeAndRefusesRangesOutside)
{
    const std::vector<std::u16string> texts = {u"甲\U00020000乙丙"}; // 甲 D840 DC00 乙 丙
    const auto a = anchorAt(texts, 1, 2, 2);                         // starts inside the pair
    ASSERT_TRUE(a);
    EXPECT_EQ(a->start, 1);
    EXPECT_EQ(a->quote, u"\U00020000乙");
    EXPECT_EQ(a->before, u"甲");
    for (const auto &[section, start, length] :
         std::vector<std::tuple<int, int, int>>{{0, 0, 1}, {2, 0, 1}, {1, -1, 1}, {1, 0, 0}, {1, 4, 2}, {1, 6, 1}})
        EXPECT_FALSE(anchorAt(texts, section, start, length)) << section << " " << start << " " << length;
}

} // namespace
