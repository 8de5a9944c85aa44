#include "cli/args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/solve_alpha.h"

namespace {

struct parsed {
  parse_outcome outcome;
  cli_args args;
  std::string error;
};

parsed parse(std::vector<const char *> words) {
  std::vector<const char *> argv = {"velorin-matte"};
  argv.insert(argv.end(), words.begin(), words.end());
  parsed p;
  g_autoptr(GError) error = nullptr;
  p.outcome = parse_cli_args(static_cast<int>(argv.size()), argv.data(), &p.args, &error);
  p.error = error ? error->message : "";
  return p;
}

// The five calculation options, for comparing them in one go.
std::vector<double> numbers(const option_args &o) {
  return {1.0 * o.levels_num, 1.0 * o.Active_levels_num, o.epsilon, o.threshold, 1.0 * o.win_size};
}

// Good operands followed by the given options.
std::vector<const char *> with_operands(std::vector<const char *> options) {
  options.insert(options.begin(), {"a", "b", "-o", "c"});
  return options;
}

TEST(ParseArgs, EveryOptionInBothSpellingsAndAnyOrder) {
  parsed p = parse({"--levels=3", "in.jpg", "--active", "2", "--epsilon", "5e-6",
                    "--threshold=0.05", "--win-size", "2", "tri.png", "--output=out.png",
                    "--region", "-5,10,50,40", "--trimap", "--alpha-only", "--quiet",
                    "--foreground", "--solver=lu", "--max-memory=1.5G"});
  ASSERT_EQ(p.outcome, PARSE_RUN) << p.error;
  const cli_args &a = p.args;
  EXPECT_STREQ(a.image_path, "in.jpg");
  EXPECT_STREQ(a.constraints_path, "tri.png");
  EXPECT_STREQ(a.output_path, "out.png");
  EXPECT_EQ(numbers(a.options), std::vector<double>({3, 2, 5e-6, 0.05, 2}));
  EXPECT_TRUE(a.region_is_set);
  EXPECT_EQ(std::vector<int>({a.region_x, a.region_y, a.region_w, a.region_h}),
            std::vector<int>({-5, 10, 50, 40}));
  EXPECT_EQ(a.constraints, CHOOSE_TRIMAP);
  EXPECT_TRUE(a.alpha_only && a.quiet && a.options.estimate_foreground);
  EXPECT_EQ(a.options.solver, SOLVER_LU);
  EXPECT_EQ(a.memory_limit, 3ull << 29);
}

struct outcome_case {
  std::vector<const char *> words;
  parse_outcome outcome;
};

TEST(ParseArgs, RangeEndsDoubleDashHelpAndVersion) {
  const outcome_case cases[] = {
      {with_operands(
           {"--epsilon", "1e-7", "--threshold", "0", "--win-size", "1", "--solver", "cholesky"}),
       PARSE_RUN},
      {with_operands(
           {"--epsilon", "1e-5", "--threshold", "0.5", "--win-size", "5", "--max-memory", "123"}),
       PARSE_RUN},
      // Active levels are held to the automatic levels once they are known.
      {with_operands({"--levels", "auto", "--active", "9"}), PARSE_RUN},
      {{"--help"}, PARSE_HELP},
      {{"--levels", "x", "-h"}, PARSE_HELP},
      {{"a", "-h", "--bogus"}, PARSE_HELP},
      {{"-o", "out.png", "--", "a", "--help"}, PARSE_RUN},  // an operand after "--"
      {{"--version"}, PARSE_VERSION}};
  for (const outcome_case &c : cases) {
    parsed p = parse(c.words);
    EXPECT_EQ(p.outcome, c.outcome) << c.words[0] << " " << p.error;
  }
  parsed p = parse({"-o", "out.png", "--", "-picture.png", "--layer"});
  EXPECT_STREQ(p.args.image_path, "-picture.png");
  EXPECT_STREQ(p.args.constraints_path, "--layer");
}

TEST(ParseArgs, RejectsBadArgumentsWithAMessageNamingTheProblem) {
  const struct {
    std::vector<const char *> words;
    const char *message_part;
  } cases[] = {{{}, "IMAGE and CONSTRAINTS"},
               {{"a", "b"}, "-o OUTPUT"},
               {{"a", "b", "c", "-o", "d"}, "unexpected operand 'c'"},
               {{"a", "b", "-o", "c", "--output=d"}, "only one output file"},
               {with_operands({"--bogus"}), "unknown option '--bogus'"},
               {with_operands({"--levels", "2.5"}), "not a whole number"},
               {with_operands({"--levels", "0"}), "--levels: 0 is below 1"},
               {with_operands({"--levels", "2", "--active", "3"}), "--active 3 exceeds --levels 2"},
               {with_operands({"--levels", "auto", "--levels", "2", "--active", "3"}),
                "--active 3 exceeds --levels 2"},  // the last --levels counts
               {with_operands({"--epsilon", "1e-8"}), "--epsilon: 1e-8 is outside"},
               {with_operands({"--threshold", "0.6"}), "--threshold: 0.6 is outside"},
               {with_operands({"--win-size", "6"}), "--win-size: 6 is outside"},
               {with_operands({"--region", "1,2,3"}), "not X,Y,W,H"},
               {with_operands({"--quiet=1"}), "takes no value"},
               {with_operands({"--layer", "--trimap"}), "exclude each other"},
               {with_operands({"--solver", "qr"}), "--solver: 'qr' is not one of cholesky, lu"},
               {with_operands({"--max-memory", "0"}), "--max-memory: '0' is not a size"}};
  for (const auto &c : cases) {
    const parsed p = parse(c.words);
    EXPECT_EQ(p.outcome, PARSE_ERROR) << c.message_part;
    EXPECT_NE(p.error.find(c.message_part), std::string::npos) << p.error;
  }
}

}  // namespace
