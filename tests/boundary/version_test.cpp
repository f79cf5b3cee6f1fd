#include <cstring>

#include "provider_fixture.h"

using VersionTest = ProviderTest;

// mapi_version writes the 20 bytes of the version text, zero included, and
// nothing after them; it needs no mail system.
TEST_F(VersionTest, WritesExactlyTwentyBytes)
{
    const char expected[20] = {'1', '.', '0', '6', ' ', '0', '1', '/', '1', '2',
                               '/', '2', '0', '0', '0', ' ', 'K', 'X', 'B', '\0'};
    for (unsigned char fill : {0x00, 0x5A, 0xFF}) {
        unsigned char buffer[64];
        std::memset(buffer, fill, sizeof buffer);
        lib.mapi_version(reinterpret_cast<char *>(buffer));
        EXPECT_EQ(std::memcmp(buffer, expected, sizeof expected), 0) << "fill " << int(fill);
        for (size_t i = sizeof expected; i < sizeof buffer; ++i) {
            ASSERT_EQ(buffer[i], fill) << "byte " << i << " written";
        }
    }
    EXPECT_EQ(tp_loads(), 0);
}
