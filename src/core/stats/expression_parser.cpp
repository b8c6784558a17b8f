#include "stats/expression_parser.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <random>
#include <unordered_map>

#include "records/text_utils.h"

namespace velmora {

ESyntaxError::ESyntaxError(std::string_view term)
    : EMathParserError("Error parsing expression:\r" + std::string(term)) {}
ESyntaxError::ESyntaxError(std::string_view left, std::string_view right)
    : EMathParserError("Error parsing expression:\r" + std::string(left) + "\r" + std::string(right)) {}

namespace {

enum class TKind {
  Invalid,
  Variable,
  Number,
  Bracketed,
  UnaryMinus,
  Add,
  Subtract,
  Multiply,
  IntDiv,
  Mod,
  Divide,
  Power,
  Function1,
  Function2
};

constexpr std::string_view kVariableNames = "ABCDEXYT";

bool IsAtom(TKind kind) { return kind == TKind::Variable || kind == TKind::Number || kind == TKind::Bracketed; }
bool IsFunction(TKind kind) { return kind == TKind::Function1 || kind == TKind::Function2; }
bool IsQuotient(TKind kind) { return kind == TKind::IntDiv || kind == TKind::Mod || kind == TKind::Divide; }

// The operators that split a term, tried in this order; the allowed kinds give the usual
// precedence, left grouping of - / DIV MOD, and a ^ that does not chain without brackets.
struct TOperatorRule {
  std::string_view Symbol;
  TKind Kind;
  bool FirstCharacterEndsSearch;
};
constexpr TOperatorRule kOperatorRules[] = {
    {"+", TKind::Add, true},       {"-", TKind::Subtract, true}, {"*", TKind::Multiply, true},
    {"DIV", TKind::IntDiv, false}, {"MOD", TKind::Mod, false},   {"/", TKind::Divide, true},
    {"^", TKind::Power, true},
};

bool LeftAllowed(TKind op, TKind part) {
  if (IsAtom(part) || IsFunction(part)) return true;
  switch (op) {
    case TKind::Add:
    case TKind::Subtract:
      return part == TKind::UnaryMinus || part == TKind::Subtract || part == TKind::Multiply || IsQuotient(part) ||
             part == TKind::Power;
    case TKind::Multiply:
    case TKind::IntDiv:
    case TKind::Mod:
    case TKind::Divide: return part == TKind::UnaryMinus || IsQuotient(part) || part == TKind::Power;
    default: return false;
  }
}

bool RightAllowed(TKind op, TKind part) {
  if (IsAtom(part) || IsFunction(part)) return true;
  switch (op) {
    case TKind::Add: return part != TKind::Invalid;
    case TKind::Subtract:
    case TKind::Multiply: return part == TKind::Multiply || IsQuotient(part) || part == TKind::Power;
    case TKind::IntDiv:
    case TKind::Mod:
    case TKind::Divide: return part == TKind::Power;
    default: return false;
  }
}

struct TFunctionName {
  std::string_view Name;
  int Code;  // TCustomParser::TOpCode as int
};

}  // namespace

// Turns the upper-case text into a tree of nodes, then into the operation list. Every substring is
// read at most once: the result and the deepest relative nesting it reached are remembered, so
// the nesting limit applies exactly as if every trial had been read again.
class TExpressionCompiler {
 public:
  using TOpCode = TCustomParser::TOpCode;
  using TOperand = TCustomParser::TOperand;
  using TOperation = TCustomParser::TOperation;

  explicit TExpressionCompiler(std::string text) : Text_(std::move(text)) {}

  std::vector<TOperation> Compile() {
    const TParse root = Read(0, Text_.size(), 0);
    if (root.Kind == TKind::Invalid) throw ESyntaxError(Text_);
    std::vector<int> operandsPerDepth;
    CountOperands(root.Node, 0, operandsPerDepth);
    std::vector<TOperation> operations;
    const TOperand result = Emit(root.Node, operations);
    if (operations.empty() || result.Source != TOperand::TSource::Result) {
      operations.push_back(TOperation{TOpCode::Load, result, {}});
    }
    return operations;
  }

 private:
  struct TNode {
    TKind Kind = TKind::Invalid;
    TOpCode Code = TOpCode::Load;
    double Constant = 0;
    int Variable = -1;
    int Left = -1;
    int Right = -1;
  };
  struct TParse {
    TKind Kind = TKind::Invalid;
    int Node = -1;
    int Reach = 0;  // deepest term read below this one, relative to it
  };

  static std::size_t MatchingBracket(std::string_view text, std::size_t open) {
    int level = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
      if (text[i] == '(') ++level;
      if (text[i] == ')' && --level == 0) return i;
    }
    return std::string_view::npos;
  }

  bool Balanced(std::size_t begin, std::size_t end) const {
    int level = 0;
    for (std::size_t i = begin; i < end; ++i) {
      if (Text_[i] == '(') ++level;
      if (Text_[i] == ')' && --level < 0) return false;
    }
    return level == 0;
  }

  int AddNode(TNode node) {
    Nodes_.push_back(node);
    return static_cast<int>(Nodes_.size()) - 1;
  }

  // Reads a child term `levels` deeper and folds its reach into `reach`.
  TParse ReadChild(std::size_t begin, std::size_t end, int depth, int levels, int& reach) {
    const TParse child = Read(begin, end, depth + levels);
    reach = std::max(reach, levels + child.Reach);
    return child;
  }

  TParse Read(std::size_t begin, std::size_t end, int depth) {
    if (depth > TCustomParser::kMaxDepth) throw ETooManyNestings();
    const std::uint64_t key = (static_cast<std::uint64_t>(begin) << 32) | end;
    if (const auto known = Memo_.find(key); known != Memo_.end()) {
      if (depth + known->second.Reach > TCustomParser::kMaxDepth) throw ETooManyNestings();
      return known->second;
    }
    const TParse result = Classify(begin, end, depth);
    Memo_.emplace(key, result);
    return result;
  }

  TParse Classify(std::size_t begin, std::size_t end, int depth) {
    TParse result;
    if (begin >= end) return result;
    const std::string_view term(Text_.data() + begin, end - begin);
    int& reach = result.Reach;

    if (term.front() == '(' && MatchingBracket(term, 0) == term.size() - 1) {
      const TParse inside = ReadChild(begin + 1, end - 1, depth, 0, reach);
      if (inside.Kind != TKind::Invalid) {
        result.Kind = TKind::Bracketed;
        result.Node = inside.Node;
        return result;
      }
    }

    if (term.size() == 1 && kVariableNames.find(term.front()) != std::string_view::npos) {
      result.Kind = TKind::Variable;
      result.Node = AddNode({TKind::Variable, TOpCode::Load, 0, static_cast<int>(kVariableNames.find(term.front()))});
      return result;
    }

    if (const auto number = ReadNumber(term)) {
      result.Kind = TKind::Number;
      result.Node = AddNode({TKind::Number, TOpCode::Load, *number});
      return result;
    }

    if (term.front() == '-') {
      const TParse rest = ReadChild(begin + 1, end, depth, 1, reach);
      if (rest.Kind == TKind::Bracketed || rest.Kind == TKind::Variable || rest.Kind == TKind::Power ||
          IsFunction(rest.Kind)) {
        result.Kind = TKind::UnaryMinus;
        result.Node = AddNode({TKind::UnaryMinus, TOpCode::Negate, 0, -1, rest.Node});
        return result;
      }
    }

    for (const TOperatorRule& rule : kOperatorRules) {
      if (TrySplit(rule, begin, end, depth, result)) return result;
    }

    if (TryFunction(begin, end, depth, result)) return result;
    return result;
  }

  bool TrySplit(const TOperatorRule& rule, std::size_t begin, std::size_t end, int depth, TParse& result) {
    const std::size_t width = rule.Symbol.size();
    for (std::size_t at = begin; at + width <= end; ++at) {
      if (std::string_view(Text_.data() + at, width) != rule.Symbol) continue;
      if (at == begin) {
        if (rule.FirstCharacterEndsSearch) return false;
        continue;
      }
      if (at + width == end || !Balanced(begin, at) || !Balanced(at + width, end)) continue;
      const TParse left = ReadChild(begin, at, depth, 1, result.Reach);
      if (!LeftAllowed(rule.Kind, left.Kind)) continue;
      const TParse right = ReadChild(at + width, end, depth, 1, result.Reach);
      if (!RightAllowed(rule.Kind, right.Kind)) continue;
      result.Kind = rule.Kind;
      result.Node = AddNode({rule.Kind, OperatorCode(rule.Kind, right), 0, -1, left.Node, right.Node});
      return true;
    }
    return false;
  }

  TOpCode OperatorCode(TKind kind, const TParse& right) const {
    switch (kind) {
      case TKind::Add: return TOpCode::Add;
      case TKind::Subtract: return TOpCode::Subtract;
      case TKind::Multiply: return TOpCode::Multiply;
      case TKind::IntDiv: return TOpCode::IntDiv;
      case TKind::Mod: return TOpCode::Mod;
      case TKind::Divide: return TOpCode::Divide;
      default: break;
    }
    if (right.Kind != TKind::Number) return TOpCode::Power;
    const double exponent = Nodes_[static_cast<std::size_t>(right.Node)].Constant;
    if (exponent != std::trunc(exponent) || std::fabs(exponent) > std::numeric_limits<int>::max()) {
      return TOpCode::Power;
    }
    if (exponent == 2) return TOpCode::Square;
    if (exponent == 3) return TOpCode::Cube;
    if (exponent == 4) return TOpCode::Fourth;
    return TOpCode::IntPower;
  }

  bool TryFunction(std::size_t begin, std::size_t end, int depth, TParse& result) {
    static constexpr std::pair<std::string_view, TOpCode> kOneArgument[] = {
        {"TAN", TOpCode::Tan},   {"SIN", TOpCode::Sin},       {"COS", TOpCode::Cos},   {"SINH", TOpCode::Sinh},
        {"COSH", TOpCode::Cosh}, {"ARCTAN", TOpCode::ArcTan}, {"EXP", TOpCode::Exp},   {"LN", TOpCode::Ln},
        {"SQRT", TOpCode::Sqrt}, {"ABS", TOpCode::Abs},       {"HEAV", TOpCode::Heav}, {"SIGN", TOpCode::Sign},
        {"ZERO", TOpCode::Zero}, {"PH", TOpCode::Ph},         {"RND", TOpCode::Rnd}};
    static constexpr std::pair<std::string_view, TOpCode> kTwoArguments[] = {{"MAX", TOpCode::Max},
                                                                             {"MIN", TOpCode::Min}};
    const std::string_view term(Text_.data() + begin, end - begin);
    const auto callOf = [&](std::string_view name) {
      return term.size() > name.size() + 1 && term.substr(0, name.size()) == name && term[name.size()] == '(' &&
             MatchingBracket(term, name.size()) == term.size() - 1;
    };

    for (const auto& [name, code] : kOneArgument) {
      if (!callOf(name)) continue;
      const TParse argument = ReadChild(begin + name.size() + 1, end - 1, depth, 1, result.Reach);
      if (argument.Kind == TKind::Invalid) continue;
      result.Kind = TKind::Function1;
      result.Node = AddNode({TKind::Function1, code, 0, -1, argument.Node});
      return true;
    }
    for (const auto& [name, code] : kTwoArguments) {
      if (!callOf(name)) continue;
      const std::size_t first = begin + name.size() + 1;
      for (std::size_t comma = first; comma < end - 1; ++comma) {
        if (Text_[comma] != ',') continue;
        const TParse a = ReadChild(first, comma, depth, 1, result.Reach);
        if (a.Kind == TKind::Invalid) continue;
        const TParse b = ReadChild(comma + 1, end - 1, depth, 1, result.Reach);
        if (b.Kind == TKind::Invalid) continue;
        result.Kind = TKind::Function2;
        result.Node = AddNode({TKind::Function2, code, 0, -1, a.Node, b.Node});
        return true;
      }
    }
    return false;
  }

  // "PI", "-PI", or an optional sign, digits, an optional point with digits and an optional
  // exponent; the whole term must be read.
  static std::optional<double> ReadNumber(std::string_view term) {
    if (term == "PI") return std::numbers::pi;
    if (term == "-PI") return -std::numbers::pi;
    std::size_t i = 0;
    if (i < term.size() && (term[i] == '+' || term[i] == '-')) ++i;
    const auto digits = [&] {
      const std::size_t start = i;
      while (i < term.size() && term[i] >= '0' && term[i] <= '9') ++i;
      return i - start;
    };
    std::size_t mantissaDigits = digits();
    if (i < term.size() && term[i] == '.') {
      ++i;
      mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < term.size() && term[i] == 'E') {
      ++i;
      if (i < term.size() && (term[i] == '+' || term[i] == '-')) ++i;
      if (digits() == 0) return std::nullopt;
    }
    if (i != term.size()) return std::nullopt;
    return ParseDecimal(term);
  }

  void CountOperands(int node, int depth, std::vector<int>& perDepth) const {
    const TNode& n = Nodes_[static_cast<std::size_t>(node)];
    for (const int child : {n.Left, n.Right}) {
      if (child < 0) continue;
      if (static_cast<int>(perDepth.size()) <= depth + 1) perDepth.resize(static_cast<std::size_t>(depth) + 2, 0);
      if (++perDepth[static_cast<std::size_t>(depth) + 1] > TCustomParser::kMaxOperandsPerDepth) {
        throw EExpressionTooComplex();
      }
      CountOperands(child, depth + 1, perDepth);
    }
  }

  TOperand Emit(int node, std::vector<TOperation>& operations) const {
    const TNode& n = Nodes_[static_cast<std::size_t>(node)];
    TOperand operand;
    switch (n.Kind) {
      case TKind::Number: operand.Constant = n.Constant; return operand;
      case TKind::Variable:
        operand.Source = TOperand::TSource::Variable;
        operand.Index = n.Variable;
        return operand;
      case TKind::Invalid:
      case TKind::Bracketed: throw EParserInternalError();
      default: break;
    }
    TOperation operation;
    operation.Code = n.Code;
    if (n.Left >= 0) operation.A = Emit(n.Left, operations);
    if (n.Right >= 0) operation.B = Emit(n.Right, operations);
    operations.push_back(operation);
    operand.Source = TOperand::TSource::Result;
    operand.Index = static_cast<int>(operations.size()) - 1;
    return operand;
  }

  std::string Text_;
  std::vector<TNode> Nodes_;
  std::unordered_map<std::uint64_t, TParse> Memo_;
};

void TCustomParser::SetExpression(std::string_view text) {
  Operations_.clear();
  Expression_ = text;
  std::string upper = ToUpperAscii(text);
  const std::size_t first = upper.find_first_not_of(' ');
  if (first == std::string::npos) return;
  upper = upper.substr(first, upper.find_last_not_of(' ') - first + 1);
  if (upper.find(' ') != std::string::npos) throw EExpressionHasBlanks();
  std::ptrdiff_t open = 0;
  std::ptrdiff_t close = 0;
  std::ptrdiff_t deepest = 0;
  for (const char c : upper) {
    open += c == '(';
    close += c == ')';
    deepest = std::max(deepest, open - close);
  }
  if (open != close) throw EMissMatchingBracket();
  // Brackets open no level of the term depth, so without this bound "((((...1...))))" would be
  // read by a recursion as deep as the text is long.
  if (deepest > kMaxBracketNesting) throw ETooManyNestings();
  TExpressionCompiler compiler(std::move(upper));
  Operations_ = compiler.Compile();
}

double& TCustomParser::Variable(char name) {
  const std::size_t index = kVariableNames.find(static_cast<char>(std::toupper(static_cast<unsigned char>(name))));
  if (index == std::string_view::npos) throw EParserInternalError();
  return Variables_[index];
}

namespace {

using Real = long double;

[[noreturn]] void InvalidOperation() { throw EMathError("Invalid floating point operation"); }
[[noreturn]] void ZeroDivide() { throw EMathError("Floating point division by zero"); }

std::int64_t Truncated(Real value) {
  if (!(std::fabs(value) < 9.2233720368547758e18L)) InvalidOperation();
  return static_cast<std::int64_t>(value);
}

Real IntegerPower(Real base, long long exponent) {
  Real result = 1;
  Real factor = base;
  for (unsigned long long n = static_cast<unsigned long long>(exponent < 0 ? -exponent : exponent); n != 0; n >>= 1) {
    if (n & 1) result *= factor;
    factor *= factor;
  }
  if (exponent < 0) {
    if (result == 0) ZeroDivide();
    result = 1 / result;
  }
  return result;
}

double RandomUnit() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

}  // namespace

double TCustomParser::Value() const {
  if (Operations_.empty()) return 0;
  std::vector<double> results(Operations_.size());
  const auto fetch = [&](const TOperand& operand) -> Real {
    switch (operand.Source) {
      case TOperand::TSource::Constant: return operand.Constant;
      case TOperand::TSource::Variable: return Variables_[static_cast<std::size_t>(operand.Index)];
      case TOperand::TSource::Result: return results[static_cast<std::size_t>(operand.Index)];
    }
    return 0;
  };

  for (std::size_t i = 0; i < Operations_.size(); ++i) {
    const TOperation& op = Operations_[i];
    const Real a = fetch(op.A);
    const Real b = fetch(op.B);
    Real r = 0;
    switch (op.Code) {
      case TOpCode::Load: r = a; break;
      case TOpCode::Negate: r = -a; break;
      case TOpCode::Add: r = a + b; break;
      case TOpCode::Subtract: r = a - b; break;
      case TOpCode::Multiply: r = a * b; break;
      case TOpCode::Divide:
        if (b == 0) (a == 0 ? InvalidOperation() : ZeroDivide());
        r = a / b;
        break;
      case TOpCode::IntDiv:
      case TOpCode::Mod: {
        const std::int64_t x = Truncated(a);
        const std::int64_t y = Truncated(b);
        if (y == 0) throw EMathError("Division by zero");
        if (y == -1) {
          r = op.Code == TOpCode::IntDiv ? -static_cast<Real>(x) : 0;
        } else {
          r = static_cast<Real>(op.Code == TOpCode::IntDiv ? x / y : x % y);
        }
        break;
      }
      case TOpCode::Square: r = a * a; break;
      case TOpCode::Cube: r = a * a * a; break;
      case TOpCode::Fourth: r = (a * a) * (a * a); break;
      case TOpCode::IntPower: r = IntegerPower(a, static_cast<long long>(b)); break;
      case TOpCode::Power:
        if (b == 0) {
          r = 1;
        } else if (a == 0) {
          if (b < 0) ZeroDivide();
          r = 0;
        } else if (b == std::trunc(b) && std::fabs(b) <= std::numeric_limits<int>::max()) {
          r = IntegerPower(a, static_cast<long long>(b));
        } else {
          r = std::pow(a, b);
        }
        break;
      case TOpCode::Tan: r = std::tan(a); break;
      case TOpCode::Sin: r = std::sin(a); break;
      case TOpCode::Cos: r = std::cos(a); break;
      case TOpCode::Sinh: r = (std::exp(a) - std::exp(-a)) / 2; break;
      case TOpCode::Cosh: r = (std::exp(a) + std::exp(-a)) / 2; break;
      case TOpCode::ArcTan: r = std::atan(a); break;
      case TOpCode::Exp: r = std::exp(a); break;
      case TOpCode::Ln:
        if (a == 0) ZeroDivide();
        if (a < 0) InvalidOperation();
        r = std::log(a);
        break;
      case TOpCode::Sqrt:
        if (a < 0) InvalidOperation();
        r = std::sqrt(a);
        break;
      case TOpCode::Abs: r = std::fabs(a); break;
      case TOpCode::Heav: r = a >= 0 ? 1 : 0; break;
      case TOpCode::Sign: r = a > 0 ? 1 : (a < 0 ? -1 : 0); break;
      case TOpCode::Zero: r = a == 0 ? 0 : 1; break;
      case TOpCode::Ph: {
        const Real turns = a / (2 / std::numbers::pi_v<Real>);
        r = (turns - std::nearbyint(turns)) * 2 * std::numbers::pi_v<Real>;
        break;
      }
      case TOpCode::Rnd: r = std::trunc(a) * RandomUnit(); break;
      case TOpCode::Max: r = a >= b ? a : b; break;
      case TOpCode::Min: r = a >= b ? b : a; break;
    }
    if (std::isnan(r)) InvalidOperation();
    const double stored = static_cast<double>(r);
    if (std::isinf(stored)) throw EMathError("Floating point overflow");
    results[i] = stored;
  }
  return results.back();
}

}  // namespace velmora
