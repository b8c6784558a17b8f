// Writes a manual page from a template and the program's own --help text, so that the page can
// never describe commands the program does not have.
//
//   make_man_page TEMPLATE OUTPUT VERSION PROGRAM
//
// In the template, "@VERSION@" becomes VERSION; a line "@USAGE ARGS@" becomes the usage line that
// "PROGRAM ARGS" prints, and "@COMMANDS ARGS@" the rest of that text, one tagged paragraph per
// command or option.

#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Dashes are minus signs in options ("--file") and with `minus`, hyphens elsewhere.
std::string Escaped(const std::string& text, bool minus) {
  std::string out;
  bool option = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool wordStart = i == 0 || text[i - 1] == ' ' || text[i - 1] == '(' || text[i - 1] == '[' || text[i - 1] == '"';
    if (c == ' ') option = false;
    if (wordStart && c == '-') option = true;
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && (minus || option)) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  return out;
}

// A text line that troff would take for a request.
std::string Line(const std::string& text) {
  return !text.empty() && (text[0] == '.' || text[0] == '\'') ? "\\&" + text : text;
}

bool IsPlaceholder(const std::string& word) {
  bool letter = false;
  for (const char c : word) {
    if (c >= 'A' && c <= 'Z') {
      letter = true;
    } else if (!(c >= '0' && c <= '9') && c != '_' && c != ':' && c != '.') {
      return false;
    }
  }
  return letter;
}

// Commands and options in bold, what the user fills in in italics, brackets and bars as they are.
std::string Term(const std::string& text) {
  std::istringstream words(text);
  std::string word;
  std::string out;
  while (words >> word) {
    if (!out.empty()) out += ' ';
    std::size_t begin = 0;
    std::size_t end = word.size();
    while (begin < end && (word[begin] == '(' || word[begin] == '[')) ++begin;
    while (end > begin && (word[end - 1] == ')' || word[end - 1] == ']')) --end;
    const std::string core = word.substr(begin, end - begin);
    out += word.substr(0, begin);
    if (core.empty() || core == "|" || core == "...") {
      out += core;
    } else {
      out += (IsPlaceholder(core) ? "\\fI" : "\\fB") + Escaped(core, true) + "\\fR";
    }
    out += word.substr(end);
  }
  return out;
}

std::size_t Indent(const std::string& line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == std::string::npos ? line.size() : first;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Usage(const std::string& line) { return Line(Term(Trimmed(line.substr(line.find(':') + 1)))) + "\n"; }

// Items are lines indented by two blanks, the command parted from its description by two or more;
// deeper lines go on with the description, unindented ones are paragraphs.
std::string Commands(const std::vector<std::string>& lines) {
  std::string out;
  bool inItem = false;
  bool inParagraph = false;
  for (const std::string& line : lines) {
    const std::size_t indent = Indent(line);
    if (indent == line.size()) {
      inItem = inParagraph = false;
      continue;
    }
    if (indent == 2) {
      const std::size_t gap = line.find("  ", 2);
      out += ".TP\n" + Line(Term(line.substr(2, gap == std::string::npos ? std::string::npos : gap - 2))) + "\n";
      if (gap != std::string::npos) out += Line(Escaped(Trimmed(line.substr(gap)), false)) + "\n";
      inItem = true;
    } else if (indent > 2 && inItem) {
      out += Line(Escaped(Trimmed(line), false)) + "\n";
    } else if (line.ends_with(':') && line.find(' ') == std::string::npos) {
      inItem = inParagraph = false;  // a heading such as "commands:": the page has its own
    } else {
      if (!inParagraph || inItem) out += ".PP\n";
      out += Line(Escaped(Trimmed(line), false)) + "\n";
      inItem = false;
      inParagraph = true;
    }
  }
  return out;
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool HelpText(const std::string& program, const std::string& args, std::vector<std::string>& lines) {
  FILE* pipe = ::popen((Quoted(program) + " " + args).c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, read);
  if (::pclose(pipe) != 0) return false;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return !lines.empty() && lines.front().starts_with("usage: ");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: make_man_page TEMPLATE OUTPUT VERSION PROGRAM\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "make_man_page: cannot read " << argv[1] << '\n';
    return 1;
  }
  std::string page;
  for (std::string line; std::getline(in, line);) {
    for (std::size_t at; (at = line.find("@VERSION@")) != std::string::npos;) line.replace(at, 9, argv[3]);
    const bool usage = line.starts_with("@USAGE ");
    if ((usage || line.starts_with("@COMMANDS ")) && line.ends_with('@')) {
      const std::size_t space = line.find(' ');
      const std::string args = line.substr(space + 1, line.size() - space - 2);
      std::vector<std::string> help;
      if (!HelpText(argv[4], args, help)) {
        std::cerr << "make_man_page: \"" << argv[4] << ' ' << args << "\" printed no usage\n";
        return 1;
      }
      // The usage may go on over deeper indented lines before the first item.
      std::size_t rest = 1;
      while (rest < help.size() && Indent(help[rest]) > 2 && Indent(help[rest]) < help[rest].size()) ++rest;
      if (usage) {
        std::string line = help.front();
        for (std::size_t i = 1; i < rest; ++i) line += " " + Trimmed(help[i]);
        page += Usage(line);
      } else {
        page += Commands(std::vector<std::string>(help.begin() + static_cast<std::ptrdiff_t>(rest), help.end()));
      }
    } else {
      page += line + "\n";
    }
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << page;
  if (!out.flush()) {
    std::cerr << "make_man_page: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
