#pragma once
// A small arithmetic expression evaluator for the efficiency formula: numbers, the variables
// A B C D E X Y T (all 0), + - * / DIV MOD ^, unary minus, one- and two-argument functions.
// Case-insensitive; compiled once, evaluated any number of times.

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class EMathParserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EExpressionHasBlanks : public EMathParserError {
 public:
  EExpressionHasBlanks() : EMathParserError("Expression has blanks") {}
};
class EMissMatchingBracket : public EMathParserError {
 public:
  EMissMatchingBracket() : EMathParserError("Missing brackets in expression") {}
};
class ESyntaxError : public EMathParserError {
 public:
  explicit ESyntaxError(std::string_view term);
  ESyntaxError(std::string_view left, std::string_view right);
};
class ETooManyNestings : public EMathParserError {
 public:
  ETooManyNestings() : EMathParserError("Expression contains too many nestings") {}
};
class EExpressionTooComplex : public EMathParserError {
 public:
  EExpressionTooComplex() : EMathParserError("Expression is too complex") {}
};
class EParserInternalError : public EMathParserError {
 public:
  EParserInternalError() : EMathParserError("TParser internal error") {}
};
// A floating-point failure while evaluating (division by zero, logarithm of 0, overflow, ...).
class EMathError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TCustomParser {
 public:
  static constexpr int kMaxDepth = 20;
  static constexpr int kMaxOperandsPerDepth = 50;
  // Brackets inside brackets; far beyond any formula, well within the stack.
  static constexpr int kMaxBracketNesting = 100;

  virtual ~TCustomParser() = default;

  // Compiles the text; raises an EMathParserError (ETooManyNestings also for brackets nested more
  // than kMaxBracketNesting deep). An empty text evaluates to 0.
  void SetExpression(std::string_view text);
  const std::string& Expression() const { return Expression_; }
  // Runs the compiled operations; raises EMathError on a floating-point failure.
  double Value() const;

  // The value of one of the variables A B C D E X Y T.
  double& Variable(char name);

 protected:
  enum class TOpCode {
    Load,
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDiv,
    Mod,
    Square,
    Cube,
    Fourth,
    IntPower,
    Power,
    Tan,
    Sin,
    Cos,
    Sinh,
    Cosh,
    ArcTan,
    Exp,
    Ln,
    Sqrt,
    Abs,
    Heav,
    Sign,
    Zero,
    Ph,
    Rnd,
    Max,
    Min
  };
  // An operand is a constant, a variable or the result of an earlier operation.
  struct TOperand {
    enum class TSource { Constant, Variable, Result } Source = TSource::Constant;
    double Constant = 0;
    int Index = 0;  // variable number or operation number
  };
  struct TOperation {
    TOpCode Code = TOpCode::Load;
    TOperand A;
    TOperand B;
  };

 private:
  friend class TExpressionCompiler;

  std::string Expression_;
  std::vector<TOperation> Operations_;
  std::array<double, 8> Variables_{};
};

class TParser final : public TCustomParser {};

}  // namespace velmora
