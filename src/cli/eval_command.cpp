#include <algorithm>
#include <charconv>
#include <ostream>

#include "commands.h"
#include "stats/expression_parser.h"

namespace velmora::cli {

int EvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "usage: velmora-cli eval EXPRESSION\n";
    return kUsageError;
  }
  try {
    TParser parser;
    parser.SetExpression(args[0]);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, parser.Value());
    out << std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)) << '\n';
    return kSuccess;
  } catch (const std::exception& error) {
    // The messages break their lines with a carriage return, which a terminal would overprint.
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\r', '\n');
    err << message << '\n';
    return kFailure;
  }
}

}  // namespace velmora::cli
