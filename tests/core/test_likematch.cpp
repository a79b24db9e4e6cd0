#include "common/likematch.h"
#include "support/testutil.h"

TEST(LikeMatch, SingleCharacterWildcards)
{
    EXPECT_TRUE(likeMatch(u"07", u"##"));
    EXPECT_FALSE(likeMatch(u"0a", u"##"));
    EXPECT_FALSE(likeMatch(u"０", u"#")); // full-width digits are not digits here
    EXPECT_TRUE(likeMatch(u"漢a", u"??"));
    EXPECT_FALSE(likeMatch(u"abc", u"??"));
    EXPECT_FALSE(likeMatch(u"a", u"??"));
    EXPECT_TRUE(likeMatch(u"", u""));
    EXPECT_FALSE(likeMatch(u"a", u""));
    // Everything else is literal and case-sensitive.
    EXPECT_TRUE(likeMatch(u"a.b/c", u"a.b/c"));
    EXPECT_FALSE(likeMatch(u"PM", u"pm"));
}

TEST(LikeMatch, StarMatchesAnyRunWithBacktracking)
{
    EXPECT_TRUE(likeMatch(u"", u"*"));
    EXPECT_TRUE(likeMatch(u"abc", u"*"));
    EXPECT_TRUE(likeMatch(u"ab", u"ab*"));
    EXPECT_TRUE(likeMatch(u"aXbYbZc", u"a*b*c"));
    EXPECT_FALSE(likeMatch(u"aXbYbZ", u"a*b*c"));
    EXPECT_TRUE(likeMatch(u"x12y", u"*#y"));
    EXPECT_TRUE(likeMatch(u"abcabd", u"*abd"));
    EXPECT_FALSE(likeMatch(u"ab", u"a**?*b?"));
    EXPECT_TRUE(likeMatch(u"01/02/03 ", u"##/##/## *"));
    EXPECT_FALSE(likeMatch(u"01/02/03", u"##/##/## *"));
    // Runs of stars, at the end and before more pattern.
    EXPECT_TRUE(likeMatch(u"abc", u"a**"));
    EXPECT_TRUE(likeMatch(u"aXbYc", u"a**b*c**"));
    EXPECT_FALSE(likeMatch(u"aXbY", u"a**b*c**"));
    EXPECT_FALSE(likeMatch(u"bc", u"a**"));
}

TEST(LikeMatch, CharacterLists)
{
    EXPECT_TRUE(likeMatch(u"受信", u"[受送]信"));
    EXPECT_TRUE(likeMatch(u"送信", u"[受送]信"));
    EXPECT_FALSE(likeMatch(u"着信", u"[受送]信"));
    EXPECT_TRUE(likeMatch(u"b", u"[a-c]"));
    EXPECT_FALSE(likeMatch(u"d", u"[a-c]"));
    EXPECT_TRUE(likeMatch(u"-", u"[a-]"));
    EXPECT_TRUE(likeMatch(u"x", u"[!0-9]"));
    EXPECT_FALSE(likeMatch(u"5", u"[!0-9]"));
    EXPECT_TRUE(likeMatch(u"pm", u"[ap]m"));
    EXPECT_FALSE(likeMatch(u"Pm", u"[ap]m"));
    // A list inside a starred pattern, and an unclosed bracket taken literally.
    EXPECT_TRUE(likeMatch(u"zzz am", u"* [ap]m"));
    EXPECT_TRUE(likeMatch(u"[ab", u"[ab"));
    EXPECT_FALSE(likeMatch(u"a", u"[ab"));
}
