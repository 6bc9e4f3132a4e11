#include "config/TextRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every byte: only "a" to "z" change; bytes of the host's code page (0x80 and up) and every
// other character stay as they are, whatever the locale would say.
TEST(UpperAscii, MapsTheAsciiLettersAndNoOtherByte) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    const std::string upper = UpperAscii(all);
    ASSERT_EQ(upper.size(), all.size());
    for (int byte = 0; byte < 256; ++byte) {
        const char expected = byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A')
                                                          : static_cast<char>(byte);
        EXPECT_EQ(upper[static_cast<std::size_t>(byte)], expected) << "byte " << byte;
        EXPECT_EQ(AsciiUpper(static_cast<char>(byte)), expected) << "byte " << byte;
    }
}

}  // namespace
