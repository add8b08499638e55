#include "app/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace qel;

// qel reads nothing of its command line but --version and --help; Qt's own
// options and anything else start the program as usual.
TEST(CommandLine, AsksForTheVersionOrTheUsageOrStartsTheProgram) {
    const struct {
        std::initializer_list<const char*> args;
        CommandLineRequest request;
    } cases[] = {
        {{"qel"}, CommandLineRequest::start},
        {{"qel", "picture.bmp", "-v"}, CommandLineRequest::start},
        {{"qel", "--version"}, CommandLineRequest::version},
        {{"qel", "-platform", "offscreen", "--help"}, CommandLineRequest::help},
        {{"qel", "-h"}, CommandLineRequest::help},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readCommandLine(static_cast<int>(c.args.size()), c.args.begin()), c.request) << *(c.args.end() - 1);
}
