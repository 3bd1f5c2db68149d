// The stored date text read back into the 7-byte form: every character out of
// its layout, and every field out of its range, is refused.
#include "base/OracleDate.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using engine::OracleDate;

namespace {

using Bytes = std::array<ub1, OracleDate::kSize>;

Bytes read(const std::string& text, bool& ok) {
    Bytes bytes{};
    ok = OracleDate::fromText(text, bytes.data());
    return bytes;
}

TEST(StoredDate, DatesInTheLayoutAreRead) {
    const struct {
        const char* text;
        Bytes bytes;
    } cases[] = {
        {"2000-01-01", {120, 100, 1, 1, 1, 1, 1}},
        {"2024-02-29 23:59:59", {120, 124, 2, 29, 24, 60, 60}},
        {"9999-12-31 00:00:00", {199, 199, 12, 31, 1, 1, 1}},
        {"-4712-01-01 00:00:00", {53, 88, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        bool ok = false;
        EXPECT_EQ(read(c.text, ok), c.bytes) << c.text;
        EXPECT_TRUE(ok) << c.text;
    }
}

TEST(StoredDate, AnyCharacterOutOfTheLayoutIsRefused) {
    const std::string good = "2024-02-29 23:59:59";
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const char bad : {':', '/', ' ', '-', 'a', '\0', '\xfa', '\xff'}) {
            if (bad == good[at]) continue;
            std::string text = good;
            text[at] = bad;
            bool ok = true;
            read(text, ok);
            EXPECT_FALSE(ok) << "position " << at << " char " << static_cast<int>(bad);
        }
    }
}

TEST(StoredDate, OtherLengthsAndRangesAreRefused) {
    for (const char* text : {"", "2024-02-2", "2024-02-290", "2024-02-29 23:59:5", "2024-02-29 23:59:590",
                             "2024-02-29T23:59:59", "+2024-02-29", "0000-01-01", "2024-13-01", "2024-00-10",
                             "2024-01-32", "2024-01-01 24:00:00", "2024-01-01 00:60:00", "2024-01-01 00:00:60",
                             "-4713-01-01 00:00:00", "--2024-01-01"}) {
        bool ok = true;
        read(text, ok);
        EXPECT_FALSE(ok) << text;
    }
}

}  // namespace
