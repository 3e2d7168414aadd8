// The progress line: one line redrawn in place, wiped clean, and silent unless enabled.
#include <gtest/gtest.h>

#include <sstream>

#include "ConsoleHost.h"
#include "ProgressLine.h"
#include "Sheet.h"
#include "ToolState.h"

namespace {

using dt::cli::ProgressLine;

TEST(ProgressLine, RedrawsOneLineInPlaceAndWipesIt) {
    std::ostringstream err;
    {
        ProgressLine line(err, dt::LANG_ENGLISH);
        line.Enable(true);
        line.OnBlockRead({9, 10});
        line.OnBlockRead({10, 10});
        // Shorter than what is on screen: padded over the rest of it.
        line.OnBlockWritten({1, 5});
        EXPECT_EQ(err.str(), "\rReading block 9 of 10\rReading block 10 of 10\rWriting block 1 of 5  ");
        err.str("");
        line.OnStoreOutcome({});
        EXPECT_EQ(err.str(), "\r" + std::string(22, ' ') + "\r");
        err.str("");
        line.Clear();
        EXPECT_EQ(err.str(), "") << "nothing on screen, nothing to wipe";
        line.OnBlockWritten({2, 5});
        err.str("");
    }
    EXPECT_EQ(err.str(), "\r" + std::string(20, ' ') + "\r") << "wiped when it goes";
}

TEST(ProgressLine, EveryEndOfAnExchangeWipesIt) {
    std::ostringstream err;
    ProgressLine line(err, dt::LANG_ENGLISH);
    line.Enable(true);
    const std::string wiped = "\r" + std::string(21, ' ') + "\r";
    line.OnBlockRead({1, 10});
    line.OnReadCompleted({});
    EXPECT_EQ(err.str(), "\rReading block 1 of 10" + wiped);
    err.str("");
    line.OnBlockRead({1, 10});
    line.OnLinkLost({});
    EXPECT_EQ(err.str(), "\rReading block 1 of 10" + wiped);
}

TEST(ProgressLine, SilentUntilEnabledAndForBlocksWithoutAPlace) {
    std::ostringstream err;
    ProgressLine line(err, dt::LANG_ENGLISH);
    line.OnBlockWritten({1, 5});
    line.OnBlockRead({1, 10});
    line.Clear();
    EXPECT_EQ(err.str(), "");
    line.Enable(true);
    line.OnBlockWritten({0, 0});
    EXPECT_EQ(err.str(), "");
}

// A line as wide as the terminal would wrap, and each redraw would leave one behind: it is cut
// short of the last column, never in the middle of a wide character.
TEST(ProgressLine, IsCutShortOfTheTerminalsWidth) {
    std::ostringstream err;
    ProgressLine line(err, dt::LANG_ENGLISH);
    line.Enable(true);
    line.SetColumns(16);
    line.OnBlockRead({9, 10});
    EXPECT_EQ(err.str(), "\rReading block 9");
    err.str("");
    ProgressLine chinese(err, dt::LANG_CHINESE);
    chinese.Enable(true);
    chinese.SetColumns(8);
    chinese.OnBlockWritten({1, 5});
    EXPECT_EQ(err.str(), "\r正在写");
}

// Characters of each UTF-8 length, led by the lowest lead byte of that length: one column each,
// and a cut keeps each whole.
TEST(ProgressLine, CountsAndCutsCharactersOfEveryLengthWhole) {
    const std::string two = "\xC2\xA9", three = "\xE0\xA4\x95", four = "\xF0\x90\x8D\x88";
    EXPECT_EQ(dt::cli::DisplayWidth(two + three + four + "a"), 4);
    EXPECT_EQ(dt::cli::CutToWidth(three + four + "ab", 3), three + four + "a");
    EXPECT_EQ(dt::cli::CutToWidth(four + four, 1), four);
}

// A text.ini may hold any language: a degree sign or an accented letter takes one column, Chinese two.
TEST(ProgressLine, ColumnsOfEachKindOfCharacter) {
    EXPECT_EQ(dt::cli::DisplayWidth("20 \xC2\xB0" "C"), 5);
    EXPECT_EQ(dt::cli::DisplayWidth("\xE5\x86\x99" "a"), 3);
    EXPECT_EQ(dt::cli::CutToWidth("\xC2\xB0" "C\xC2\xB0" "C", 2), "\xC2\xB0" "C");
}

// Texts of a distributor's text.ini reach a terminal: an escape sequence or a carriage return in
// them would act on it instead of being read.
TEST(ProgressLine, TheConsoleShowsControlCharactersOfMessagesVisibly) {
    dt::ToolState s;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host(s, out, err);
    host.ShowMessage("red \x1B[31mtext\rover\x7F\tend\nnext", dt::MessageKind::Error);
    EXPECT_EQ(err.str(), "red ^[[31mtext^Mover^?\tend\nnext\n");
}

TEST(ProgressLine, TheConsoleWipesItBeforeAnyMessage) {
    dt::ToolState s;
    s.language = dt::LANG_ENGLISH;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host(s, out, err);
    host.Progress().Enable(true);
    const std::string wiped = "\r" + std::string(21, ' ') + "\r";
    // A message with no event before it: the exchange's own limit running out.
    host.Progress().OnBlockRead({3, 10});
    host.ShowMessage("no response because of timeout", dt::MessageKind::Error);
    EXPECT_EQ(err.str(), "\rReading block 3 of 10" + wiped + "no response because of timeout\n");
    err.str("");
    host.Progress().OnBlockRead({4, 10});
    host.ReportBackupFailure("No space left on device");
    EXPECT_EQ(err.str().rfind("\rReading block 4 of 10" + wiped + "drivetune-cli: ", 0), 0u) << err.str();
    EXPECT_EQ(out.str(), "");
}

// Nobody is there to answer: a question is shown, wipes the line too, and is answered No.
TEST(ProgressLine, TheConsoleShowsAQuestionAndAnswersNo) {
    dt::ToolState s;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host(s, out, err);
    EXPECT_FALSE(host.Ask("Restore anyway?", dt::MessageKind::Warning));
    EXPECT_EQ(err.str(), "Restore anyway?\n");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].kind, dt::MessageKind::Warning);
}

}  // namespace
