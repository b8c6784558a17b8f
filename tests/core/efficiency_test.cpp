#include "stats/efficiency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>

#include "platform/configuration.h"
#include "game_builder.h"
#include "records/text_utils.h"
#include "stats/expression_parser.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora {
namespace {

// A fresh table with the values of "KEY=value KEY=value ...".
TIntegerHash Table(const std::string& values) {
  TIntegerHash table = NewStatTable();
  std::istringstream stream(values);
  for (std::string pair; stream >> pair;) {
    table.Set(pair.substr(0, pair.find('=')), std::stoi(pair.substr(pair.find('=') + 1)));
  }
  return table;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Plain text replacement in table order, which whole-name substitution improves on; where it
// worked, both must agree. None where it did not: a failure is no value to agree with.
std::optional<double> LiteralEfficiency(const TIntegerHash& table, std::string formula) {
  try {
    formula = ToLowerAscii(formula);
    ReplaceAll(formula, "pt", std::to_string(3 * table.Get("P3M") + 2 * table.Get("P2M") + table.Get("P1M")));
    ReplaceAll(formula, " ", "");
    for (const std::string& key : table.KeysInOrder()) {
      ReplaceAll(formula, ToLowerAscii(key), std::to_string(table.Get(key)));
    }
    ReplaceAll(formula, ",", ".");
    TParser parser;
    parser.SetExpression(formula);
    return std::nearbyint(parser.Value() / 0.01) * 0.01;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

TEST(Efficiency, AgreesWithPlainReplacementWhereThatWorked) {
  const TIntegerHash example = Table("P3M=1 P2M=3 P1M=2 RT=5 AS=2 ST=1 BS=0 RF=3 PF=2 TO=3 P3A=4 P2A=6 P1A=2");
  EXPECT_DOUBLE_EQ(Efficiency(example, kDefaultEfficiencyFormula), 11);
  EXPECT_EQ(LiteralEfficiency(example, std::string(kDefaultEfficiencyFormula)), 11);

  // Every table of a simulated game, players and totals.
  const testing::TTempFolder folder;
  const TConfiguration config(folder.Path());
  TModel model(config);
  model.MatchInfo = testing::MakeMatchInfo(12);
  model.SetActions(testing::SimulateGame(model.MatchInfo, 600, 11));
  model.Recompute();
  ASSERT_NE(Efficiency(model.Stats(TModel::TotalsSlot(1)), kDefaultEfficiencyFormula), 0);
  int compared = 0;
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    const TIntegerHash& table = model.Stats(slot);
    for (const char* formula : {kDefaultEfficiencyFormula.data(), "pt + rt + as", "PT / 2 - PF", "RT*1,5+AS",
                                "(P2M+P3M)*100/(P2A+P3A+1)", "AS^2-TO", "PT+X", "RO+RD-RT"}) {
      const auto literal = LiteralEfficiency(table, formula);
      ASSERT_TRUE(literal) << "the reference cannot compute " << formula << " for " << slot;
      EXPECT_DOUBLE_EQ(Efficiency(table, formula), *literal) << formula << ", " << slot;
      ++compared;
    }
  }
  EXPECT_EQ(compared, 8 * TModel::kTableCount);
}

TEST(Efficiency, NamesAreReplacedWholeAndBracketed) {
  const TIntegerHash player = Table("ST=3 STA=1 PTS=17 P3M=1 P2M=4 P1M=1 TO=2 PLLSS=-4 MIN=600 RT=9 AS=4");
  // clang-format off
  const std::pair<const char*, double> cases[] = {
      {"STA", 1}, {"STA*10+ST", 13}, {"PTS", 17}, {"PT", 12}, {"PTS-PT", 5},  // PT counts the made shots
      {"PLLSS-TO", -6}, {"AS-PLLSS", 8}, {"PLLSS^2", 16},                      // a negative value is bracketed
      {"MIN/60", 10}, {"MIN(PT,RT)", 9}, {"min (pt, rt)", 9}, {"MAX(PT,RT)", 12}, {"MAX(PT,RT)+MIN/60", 22},
      {"SQRT(AS)", 2},  // "rt" inside "sqrt" is no key
  };
  // clang-format on
  for (const auto& [formula, expected] : cases) EXPECT_DOUBLE_EQ(Efficiency(player, formula), expected) << formula;
  for (const char* broken : {"STA*10+ST", "PTS", "PLLSS-TO", "MIN(PT,RT)", "MAX(PT,RT)"}) {
    EXPECT_NE(LiteralEfficiency(player, broken), Efficiency(player, broken)) << broken << ": the plain way fails here";
  }
  EXPECT_EQ(SubstituteEfficiencyFormula("PLLSS-TO", player), "(-4)-(2)");
  EXPECT_EQ(SubstituteEfficiencyFormula("Min(PT,RT)+MIN", player), "min((12),(9))+(600)");
  // A comma is a decimal point only between two digits.
  EXPECT_EQ(SubstituteEfficiencyFormula("RT*1,5+MAX(RT,AS)", player), "(9)*1.5+max((9),(4))");
  EXPECT_DOUBLE_EQ(Efficiency(player, "MAX(AS,0,5)"), 4);
}

TEST(Efficiency, RoundsToTwoDecimalsAndGivesZeroForAnyError) {
  const TIntegerHash player = Table("P2M=5 TO=0 AS=1");
  EXPECT_NEAR(Efficiency(player, "PT/3"), 3.33, 1e-12);
  EXPECT_NEAR(Efficiency(player, "PT*2/3"), 6.67, 1e-12);
  EXPECT_NEAR(Efficiency(player, "-AS/3"), -0.33, 1e-12);
  EXPECT_NEAR(Efficiency(player, "AS/1000"), 0, 1e-12);
  for (const char* formula : {"", "PT+", "PT/TO", "LN(TO)", "SQRT(-AS)", "(PT", "PTX", "FOO", "PT**2", "EXP(1E4)"}) {
    EXPECT_EQ(Efficiency(player, formula), 0) << formula;
  }
  EXPECT_EQ(Efficiency(TIntegerHash(), "RT+1"), 0);  // no such key: the name stays and is refused
}

TEST(FormulaTest, AcceptsWhatTheEfficiencyCanComputeAndRefusesTheRest) {
  EXPECT_TRUE(FormulaEvaluates(kDefaultEfficiencyFormula));
  EXPECT_TRUE(FormulaEvaluates(" pt + Rt - ( p3a - P3M ) ")) << "blanks and letter case do not matter";
  EXPECT_TRUE(FormulaEvaluates("PTS+STA*2+MIN/60+PLLSS")) << "names that contain others are whole names";
  EXPECT_TRUE(FormulaEvaluates("(PT+RT+AS)*2400/MAX(MIN,1)"));
  EXPECT_TRUE(FormulaEvaluates("PT*0,5"));

  EXPECT_FALSE(FormulaEvaluates("PT+"));
  EXPECT_FALSE(FormulaEvaluates("PT+XYZ"));
  EXPECT_FALSE(FormulaEvaluates("(PT+RT"));
  EXPECT_FALSE(FormulaEvaluates("PT/(P3A-P3M)")) << "every figure is 1 in the test, so this divides by zero";
}

}  // namespace
}  // namespace velmora
