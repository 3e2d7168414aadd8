// The forms --since takes, and the one form the records are compared in.
#include <gtest/gtest.h>

#include "RecordTable.h"

TEST(RecordSince, DatesAndTimesOfDayAreTakenInTheRecordsFormOthersRefused) {
    const std::pair<std::string, std::string> taken[] = {
        {"2026-12-08", "2026-12-08"},
        {"2026-12-08Z", "2026-12-08"},
        {"2026-12-08T13:30", "2026-12-08T13:30"},
        {"2026-12-08 13:30:05Z", "2026-12-08T13:30:05"},
        {"2026-12-08T13:30:05.1", "2026-12-08T13:30:05.1"},
        {"2026-12-08T13:30:05.123", "2026-12-08T13:30:05.123"},
    };
    for (const auto& [given, normal] : taken) {
        std::string since = given;
        EXPECT_TRUE(dt::cli::NormalSince(since)) << given;
        EXPECT_EQ(since, normal);
    }
    for (const char* refused : {"", "2026-12-8", "2026/12/08", "2026-12-08T", "2026-12-08T1:30", "2026-12-08T13:30:5",
                                "2026-12-08T13:30:05.", "2026-12-08T13:30:05.1x", "2026-12-08T13:30:05.1234", "2026-12-08ZZ", "2026-12-08x13:30",
                                "2026-12-08T13:30:05Zx", "２026-12-08"}) {
        std::string since = refused;
        EXPECT_FALSE(dt::cli::NormalSince(since)) << refused;
        EXPECT_EQ(since, refused) << "a refused value is left as given";
    }
}
