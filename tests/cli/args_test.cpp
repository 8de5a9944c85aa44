#include "cli/args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct parsed {
  parse_outcome outcome;
  cli_args args;
  std::string error;
};

parsed parse(std::vector<const char *> words) {
  std::vector<char *> argv;
  argv.push_back(const_cast<char *>("velorin-matte"));
  for (const char *w : words) argv.push_back(const_cast<char *>(w));
  parsed p;
  char error[256] = "";
  p.outcome = parse_cli_args(static_cast<int>(argv.size()), argv.data(), &p.args, error,
                             sizeof error);
  p.error = error;
  return p;
}

TEST(ParseArgs, DefaultsMirrorTheOptionsDialog) {
  parsed p = parse({"in.jpg", "tri.png", "-o", "out.png"});
  ASSERT_EQ(p.outcome, PARSE_RUN) << p.error;
  option_args defaults;
  opts_set_default(&defaults);
  EXPECT_STREQ(p.args.image_path, "in.jpg");
  EXPECT_STREQ(p.args.constraints_path, "tri.png");
  EXPECT_STREQ(p.args.output_path, "out.png");
  EXPECT_EQ(p.args.constraints, CHOOSE_BY_ALPHA_CHANNEL);
  EXPECT_EQ(p.args.options.levels_num, defaults.levels_num);
  EXPECT_EQ(p.args.options.Active_levels_num, defaults.Active_levels_num);
  EXPECT_EQ(p.args.options.epsilon, defaults.epsilon);
  EXPECT_EQ(p.args.options.threshold, defaults.threshold);
  EXPECT_EQ(p.args.options.win_size, defaults.win_size);
  EXPECT_FALSE(p.args.region_is_set);
  EXPECT_FALSE(p.args.alpha_only);
  EXPECT_FALSE(p.args.quiet);
}

TEST(ParseArgs, EveryOptionInBothSpellingsAndAnyOrder) {
  parsed p = parse({"--levels=3", "in.jpg", "--active", "2", "--epsilon", "5e-6",
                    "--threshold=0.05", "--win-size", "2", "tri.png", "--output=out.png",
                    "--region", "-5,10,50,40", "--trimap", "--alpha-only", "--quiet"});
  ASSERT_EQ(p.outcome, PARSE_RUN) << p.error;
  EXPECT_EQ(p.args.options.levels_num, 3);
  EXPECT_EQ(p.args.options.Active_levels_num, 2);
  EXPECT_EQ(p.args.options.epsilon, 5e-6);
  EXPECT_EQ(p.args.options.threshold, 0.05);
  EXPECT_EQ(p.args.options.win_size, 2);
  EXPECT_STREQ(p.args.output_path, "out.png");
  EXPECT_TRUE(p.args.region_is_set);
  EXPECT_EQ(p.args.region_x, -5);
  EXPECT_EQ(p.args.region_y, 10);
  EXPECT_EQ(p.args.region_w, 50);
  EXPECT_EQ(p.args.region_h, 40);
  EXPECT_EQ(p.args.constraints, CHOOSE_TRIMAP);
  EXPECT_TRUE(p.args.alpha_only);
  EXPECT_TRUE(p.args.quiet);
}

TEST(ParseArgs, RangeEndsAreAccepted) {
  parsed low = parse({"--epsilon", "1e-7", "--threshold", "0", "--win-size", "1", "a", "b",
                      "-o", "c"});
  parsed high = parse({"--epsilon", "0.00001", "--threshold", "0.5", "--win-size", "5", "a",
                       "b", "-o", "c"});
  EXPECT_EQ(low.outcome, PARSE_RUN) << low.error;
  EXPECT_EQ(high.outcome, PARSE_RUN) << high.error;
}

TEST(ParseArgs, DoubleDashEndsTheOptions) {
  parsed p = parse({"-o", "out.png", "--", "-picture.png", "--layer"});
  ASSERT_EQ(p.outcome, PARSE_RUN) << p.error;
  EXPECT_STREQ(p.args.image_path, "-picture.png");
  EXPECT_STREQ(p.args.constraints_path, "--layer");
  EXPECT_EQ(p.args.constraints, CHOOSE_BY_ALPHA_CHANNEL);
}

TEST(ParseArgs, HelpAndVersionWinOverEverythingElse) {
  EXPECT_EQ(parse({"--help"}).outcome, PARSE_HELP);
  EXPECT_EQ(parse({"--levels", "x", "-h"}).outcome, PARSE_HELP);
  EXPECT_EQ(parse({"-o", "out.png", "--", "a", "--help"}).outcome, PARSE_RUN);
  EXPECT_EQ(parse({"a", "-h", "--bogus"}).outcome, PARSE_HELP);
  EXPECT_EQ(parse({"--version"}).outcome, PARSE_VERSION);
}

struct bad_case {
  std::vector<const char *> words;
  const char *message_part;  // the error must name the problem
};

class ParseArgsRejects : public ::testing::TestWithParam<bad_case> {};

TEST_P(ParseArgsRejects, WithAMessageNamingTheProblem) {
  parsed p = parse(GetParam().words);
  EXPECT_EQ(p.outcome, PARSE_ERROR);
  EXPECT_NE(p.error.find(GetParam().message_part), std::string::npos) << p.error;
}

INSTANTIATE_TEST_SUITE_P(
    BadArguments, ParseArgsRejects,
    ::testing::Values(
        bad_case{{}, "IMAGE and CONSTRAINTS"},
        bad_case{{"a", "-o", "c"}, "IMAGE and CONSTRAINTS"},
        bad_case{{"a", "b"}, "-o OUTPUT"},
        bad_case{{"a", "b", "-o"}, "-o needs a value"},
        bad_case{{"a", "b", "c", "-o", "d"}, "unexpected operand 'c'"},
        bad_case{{"a", "b", "-o", "c", "--bogus"}, "unknown option '--bogus'"},
        bad_case{{"a", "b", "-o", "c", "--levels", "two"}, "--levels: 'two'"},
        bad_case{{"a", "b", "-o", "c", "--levels", "2.5"}, "not a whole number"},
        bad_case{{"a", "b", "-o", "c", "--levels", "0"}, "--levels: 0 is below 1"},
        bad_case{{"a", "b", "-o", "c", "--levels", "99999999999"}, "not a whole number"},
        bad_case{{"a", "b", "-o", "c", "--active", "0"}, "--active: 0 is below 1"},
        bad_case{{"a", "b", "-o", "c", "--levels", "2", "--active", "3"},
                 "--active 3 exceeds --levels 2"},
        bad_case{{"a", "b", "-o", "c", "--epsilon", "1e-8"}, "--epsilon: 1e-8 is outside"},
        bad_case{{"a", "b", "-o", "c", "--epsilon", "nan"}, "not a number"},
        bad_case{{"a", "b", "-o", "c", "--threshold", "0.6"}, "--threshold: 0.6 is outside"},
        bad_case{{"a", "b", "-o", "c", "--threshold", "-0.1"}, "outside"},
        bad_case{{"a", "b", "-o", "c", "--win-size", "6"}, "--win-size: 6 is outside"},
        bad_case{{"a", "b", "-o", "c", "--win-size", ""}, "not a whole number"},
        bad_case{{"a", "b", "-o", "c", "--region", "1,2,3"}, "not X,Y,W,H"},
        bad_case{{"a", "b", "-o", "c", "--region", "1,2,3,4x"}, "not X,Y,W,H"},
        bad_case{{"a", "b", "-o", "c", "--region", "1,2,0,4"}, "must be positive"},
        bad_case{{"a", "b", "-o", "c", "--quiet=1"}, "takes no value"},
        bad_case{{"a", "b", "-o", "c", "--layer", "--trimap"}, "exclude each other"}));

TEST(PrintUsage, ListsEveryOptionWithItsDefault) {
  char *text = nullptr;
  size_t size = 0;
  FILE *stream = open_memstream(&text, &size);
  print_usage(stream);
  fclose(stream);
  std::string usage(text, size);
  free(text);
  for (const char *name : {"--levels", "--active", "--epsilon", "--threshold", "--win-size",
                           "--region", "--alpha-only", "--layer", "--trimap", "--quiet",
                           "--version", "-o"})
    EXPECT_NE(usage.find(name), std::string::npos) << name;
  EXPECT_NE(usage.find("default 1e-07"), std::string::npos) << usage;
}

}  // namespace
