#include "stats/expression_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace velmora {
namespace {

double Evaluate(const std::string& expression) {
  TParser parser;
  parser.SetExpression(expression);
  return parser.Value();
}

// The message of the compile error, or "(none)".
std::string CompileError(const std::string& expression) {
  try {
    TParser().SetExpression(expression);
  } catch (const EMathParserError& error) {
    return error.what();
  }
  return "(none)";
}

std::string Joined(int count, const std::string& operand, const std::string& separator) {
  std::string text = operand;
  for (int i = 1; i < count; ++i) text += separator + operand;
  return text;
}

TEST(ExpressionParser, ValuesOfWellFormedExpressions) {
  const double e = std::numbers::e;
  const double pi = std::numbers::pi;
  // clang-format off
  const std::pair<const char*, double> cases[] = {
      // Precedence, left grouping, signed numbers after an operator.
      {"2+3*4", 14}, {"(2^3)^2", 64}, {"-2^2", -4}, {"10-4-3", 3}, {"10/4/5", 0.5}, {"-3+2", -1}, {"(-3)-2", -5},
      {"5--3", 8}, {"5+-3", 2}, {"2*-3", -6}, {"((2+3))*4", 20}, {"-(2+3)", -5}, {"2-3*4+1", -9}, {"8/2*3", 12},
      {"1-2+3-4+5-6", -3}, {"1.5E2", 150}, {"2.5e-1", 0.25}, {"+7", 7}, {"PI", pi}, {"-pi", -pi}, {"x", 0},
      // DIV and MOD truncate both operands; the remainder has the sign of the left one.
      {"7DIV2", 3}, {"-7DIV2", -3}, {"7DIV-2", -3}, {"-7MOD2", -1}, {"7MOD-2", 1}, {"7.9DIV2", 3},
      {"-7.9MOD2", -1}, {"7DIV2.9", 3}, {"8DIV2DIV2", 2}, {"17MOD7MOD2", 1}, {"2+7DIV2", 5}, {"7DIV2^2", 1},
      {"9DIV-1", -9}, {"9MOD-1", 0}, {"7div2", 3},
      // "*" is tried before DIV and may take a DIV on its right: 2*(7 DIV 2).
      {"2*7DIV2", 6},
      // Squares, cubes, fourth, integer and general powers.
      {"3^2", 9}, {"(-2)^3", -8}, {"(-2)^4", 16}, {"1.5^2", 2.25}, {"2^10", 1024}, {"(-2)^5", -32}, {"2^-1", 0.5},
      {"2^-3", 0.125}, {"10^-2", 0.01}, {"-2^-2", -0.25}, {"0^0", 1}, {"2^0.5", std::sqrt(2.0)}, {"4^(1/2)", 2},
      {"2^(1+2)", 8}, {"max(2,3)^2", 9}, {"2^MAX(1,3)", 8},
      // Functions, in any letter case.
      {"SIN(PI/2)", 1}, {"cos(pi)", -1}, {"TAN(PI/4)", 1}, {"ARCTAN(1)", pi / 4}, {"SINH(1)", (e - 1 / e) / 2},
      {"COSH(-1)", (e + 1 / e) / 2}, {"Exp(1)", e}, {"LN(EXP(2))", 2}, {"SQRT(16)", 4}, {"ABS(-3.5)", 3.5},
      {"HEAV(0)", 1}, {"HEAV(-0.5)", 0}, {"SIGN(-2)", -1}, {"SIGN(0)", 0}, {"SIGN(0.1)", 1}, {"ZERO(0)", 0},
      {"ZERO(-2)", 1}, {"PH(0)", 0}, {"RND(0.9)", 0}, {"max(2,5)", 5}, {"MAX(5,2)", 5}, {"min(2,5)", 2},
      {"MIN(-1,-2)", -2}, {"MAX(MIN(1,2),3)", 3}, {"MIN(MAX(1,2),MAX(3,4))", 2}, {"-SQRT(4)", -2},
  };
  // clang-format on

  for (const auto& [text, expected] : cases) EXPECT_NEAR(Evaluate(text), expected, 1e-12) << text;

  const double r = 1 / (2 / pi);
  EXPECT_NEAR(Evaluate("PH(1)"), (r - std::nearbyint(r)) * 2 * pi, 1e-12);
  TParser random;
  random.SetExpression("RND(10.7)");  // 10 times a number in [0, 1)
  for (int i = 0; i < 100; ++i) {
    const double value = random.Value();
    EXPECT_TRUE(value >= 0 && value < 10) << value;
  }
}

TEST(ExpressionParser, CompiledOnceEvaluatedOftenWithCurrentVariables) {
  TParser parser;
  EXPECT_EQ(parser.Value(), 0);
  parser.SetExpression("x*3+y-a-b-c-d-e-t");
  EXPECT_EQ(parser.Value(), 0);
  parser.Variable('X') = 2;
  parser.Variable('y') = 0.5;
  EXPECT_EQ(parser.Value(), 6.5);
  EXPECT_EQ(parser.Value(), 6.5);
  EXPECT_THROW(parser.Variable('Q'), EParserInternalError);
  parser.SetExpression("42");
  EXPECT_EQ(parser.Value(), 42);
  parser.SetExpression("   ");
  EXPECT_EQ(parser.Value(), 0);
}

TEST(ExpressionParser, CompileErrorsAndTheirMessages) {
  EXPECT_EQ(CompileError("  2+3  "), "(none)");  // blanks at the ends are stripped
  EXPECT_EQ(CompileError("2 + 3"), "Expression has blanks");
  EXPECT_EQ(CompileError("(2 +3"), "Expression has blanks");  // checked before the brackets
  EXPECT_EQ(CompileError("(2+3"), "Missing brackets in expression");
  EXPECT_EQ(CompileError("MAX((1,2)"), "Missing brackets in expression");
  for (const char* text :
       {"2^3^2", "-3-2", "2+",  "*2", "2**3",  "abc",  "SIN", "SIN2", "SIN()", "MAX(1)", "MAX(1,2,3)",
        ")2+3(", "()",   "1,5", "2E", "1.2.3", "2(3)", "--2", "\t2",  "7DIV",  "DIV2"}) {
    EXPECT_TRUE(CompileError(text).starts_with("Error parsing expression:\r")) << text << ": " << CompileError(text);
  }
  EXPECT_NE(CompileError("foo(1)").find("FOO(1)"), std::string::npos);  // names the term, upper-cased
  EXPECT_THROW(TParser().SetExpression("2^3^2"), ESyntaxError);
}

TEST(ExpressionParser, NestingLimitIsTwentyLevels) {
  // Each "+" reads its right part one level deeper; a chain of "-" groups from the left instead.
  EXPECT_EQ(Evaluate(Joined(21, "1", "+")), 21);
  EXPECT_EQ(CompileError(Joined(22, "1", "+")), "Expression contains too many nestings");
  EXPECT_EQ(Evaluate(Joined(21, "1", "-")), -19);
  EXPECT_DOUBLE_EQ(Evaluate(Joined(21, "2", "/")), std::pow(2.0, -19));
  EXPECT_THROW(TParser().SetExpression(Joined(22, "1", "-")), ETooManyNestings);
  // A function argument is one level deeper; brackets alone add none.
  const auto nested = [](int count) { return Joined(count, "ABS(", "") + "-1" + std::string(count, ')'); };
  EXPECT_EQ(Evaluate(nested(20)), 1);
  EXPECT_EQ(CompileError(nested(21)), "Expression contains too many nestings");
  EXPECT_EQ(Evaluate(std::string(100, '(') + "1+2" + std::string(100, ')')), 3);
  // ... but they are bounded on their own, long before the stack is.
  for (const std::size_t depth : {101, 50'000}) {
    EXPECT_EQ(CompileError(std::string(depth, '(') + "1" + std::string(depth, ')')),
              "Expression contains too many nestings")
        << depth;
  }
  EXPECT_EQ(CompileError("1+" + std::string(50'000, '(') + "-2" + std::string(50'000, ')')),
            "Expression contains too many nestings");
  EXPECT_EQ(Evaluate("(" + Joined(20, "1", "+") + ")*2"), 40);
  EXPECT_THROW(TParser().SetExpression("(" + Joined(21, "1", "+") + ")*2"), ETooManyNestings);
}

// A "+" tree whose 32 places at depth 5 hold "(X+X)" (two operands at depth 6), "-X" (one) or "X".
std::string TreeWithOperandsAtDepthSix(int operands) {
  std::vector<std::string> places(32, "X");
  for (std::string& place : places) {
    const int here = std::min(operands, 2);
    place = here == 2 ? "(X+X)" : here == 1 ? "-X" : "X";
    operands -= here;
  }
  std::function<std::string(std::size_t, std::size_t)> build = [&](std::size_t from, std::size_t to) {
    if (to - from == 1) return places[from];
    return "(" + build(from, (from + to) / 2) + "+" + build((from + to) / 2, to) + ")";
  };
  return build(0, places.size());
}

TEST(ExpressionParser, ComplexityLimitIsFiftyOperandsAtOneDepth) {
  TParser parser;
  parser.SetExpression(TreeWithOperandsAtDepthSix(50));
  parser.Variable('X') = 1;
  EXPECT_EQ(parser.Value(), 57);  // 25 pairs and 7 single places
  EXPECT_EQ(CompileError(TreeWithOperandsAtDepthSix(51)), "Expression is too complex");
  EXPECT_THROW(TParser().SetExpression(TreeWithOperandsAtDepthSix(64)), EExpressionTooComplex);
}

TEST(ExpressionParser, FloatingPointFailuresRaiseAtEvaluation) {
  for (const char* text : {"1/0", "0/0", "1/X", "LN(0)", "LN(-1)", "SQRT(-1)", "5DIV0", "5MOD0.5", "0^-1", "(-8)^(1/3)",
                           "EXP(1000)", "2^1E4", "1E308*10"}) {
    TParser parser;
    parser.SetExpression(text);
    EXPECT_THROW(parser.Value(), EMathError) << text;
    EXPECT_THROW(parser.Value(), EMathError) << text << ", again";
  }
}

}  // namespace
}  // namespace velmora
