#include "common/cp932.h"
#include "support/testutil.h"

TEST(Cp932Smoke, AsciiAndKana)
{
    EXPECT_EQ(cp932::decode("A\\~"), QStringLiteral("A\\~"));
    EXPECT_EQ(cp932::encode(u"ｱ"), QByteArray("\xB1"));
    EXPECT_EQ(cp932::encode(u"\uFF5E"), QByteArray("\x81\x60"));
    EXPECT_EQ(cp932::encode(u"\U0001F600"), QByteArray("?"));
}
