// The window program's command line: what each form asks for, file names kept as bytes,
// and a clear refusal of everything else.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace uroflow::test {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string> args) {
    args.insert(args.begin(), "uroflow");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return parseCommandLine(static_cast<int>(args.size()), argv.data());
}

TEST(CommandLine, EachFormAsksForItsAction) {
    EXPECT_EQ(parse({}).action, Action::OpenWindow);
    EXPECT_FALSE(parse({}).demo);
    EXPECT_TRUE(parse({"--demo"}).demo);
    EXPECT_EQ(parse({"--help"}).action, Action::ShowHelp);
    EXPECT_EQ(parse({"-h"}).action, Action::ShowHelp);
    EXPECT_EQ(parse({"--version"}).action, Action::ShowVersion);
    EXPECT_EQ(parse({"day.txt"}).studyFile, "day.txt");
    // After "--" a name may start with a dash.
    EXPECT_EQ(parse({"--", "-day.txt"}).studyFile, "-day.txt");

    const CommandLine report =
        parse({"--day-report", "out.pdf", "--night", "22:30-06:30", "d.txt"});
    EXPECT_EQ(report.action, Action::DayReport);
    EXPECT_EQ(report.reportFile, "out.pdf");
    EXPECT_EQ(report.studyFile, "d.txt");
    EXPECT_EQ(report.night.from, 22 * 60 + 30);
    EXPECT_EQ(report.night.to, 6 * 60 + 30);
    // Without --night the summary's night is the usual one.
    EXPECT_EQ(parse({"--day-report", "out.pdf", "d.txt"}).night.from, NightWindow{}.from);
}

// A name that is no valid UTF-8 is still a name the file system holds.
TEST(CommandLine, FileNamesKeepTheirBytes) {
    const std::string in = "bad\xff\xfe день.txt";
    const std::string out = "out\xff.pdf";
    EXPECT_EQ(parse({in}).studyFile, in);
    const CommandLine report = parse({"--day-report", out, in});
    EXPECT_EQ(report.reportFile, out);
    EXPECT_EQ(report.studyFile, in);
}

TEST(CommandLine, AnythingElseIsRefusedWithItsReason) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--bogus"}, "Unknown option 'bogus'."},
        {{"--day-report"}, "Missing value after '--day-report'."},
        {{"a.txt", "b.txt"}, "only one study file may be given"},
        {{""}, "the study file's name is empty"},
        {{"--night", "22:00-06:00", "a.txt"}, "--night goes with --day-report"},
        {{"--day-report", "out.pdf"}, "--day-report needs the study file FILE"},
        {{"--day-report", "", "a.txt"}, "the report's file name is empty"},
        {{"--demo", "--day-report", "out.pdf", "a.txt"},
         "--demo opens the window; --day-report writes without one"},
        {{"--day-report", "a.pdf", "--day-report", "b.pdf", "a.txt"},
         "--day-report is given more than once"},
        {{"--day-report", "out.pdf", "--night", "7", "a.txt"},
         "the night must be given as HH:MM-HH:MM with two different times, not '7'"},
        {{"--day-report", "out.pdf", "--night", "23:00-23:00", "a.txt"},
         "the night must be given as HH:MM-HH:MM with two different times, not '23:00-23:00'"},
        // The parser's message names the argument with its own bytes.
        {{"--\xff"}, "Unknown option '\xff'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const CommandLine refused = parse(c.args);
        EXPECT_EQ(refused.action, Action::Refuse);
        EXPECT_EQ(refused.error, c.error);
    }
}

TEST(CommandLine, HelpListsEveryOption) {
    const std::string help = commandLineHelp().toStdString();
    EXPECT_EQ(help.rfind(kCommandLineUsage, 0), 0u) << help;
    for (const char* option : {"--help", "--version", "--demo", "--day-report <OUT.pdf>",
                               "--night <HH:MM-HH:MM>", "FILE"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(help.find("<executable_name>"), std::string::npos);
}

}  // namespace
}  // namespace uroflow::test
