// session_check: checks what a scripted session of an installed drill left,
// for the package tests, which are shell scripts and so take the drill's
// texts from here rather than spell them out themselves.
//
//   session_check [--crlf] OUTPUT RECORDS NAME LIMIT RIGHT
//
// OUTPUT holds the drill's standard output for a session of one test: the
// name NAME, the addend limit LIMIT, RIGHT right answers, then a word that
// declines another test. RECORDS is the records.txt the session wrote to,
// empty before it. With --crlf every line of OUTPUT must end in CR LF (the
// Windows console). Exits with 0 when all fits, else prints what does not
// on standard error and exits with 1; 2 for wrong arguments.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

namespace {

using testing_support::Block;
using testing_support::Report;

std::string read_whole(const char* path);
bool from_crlf(std::string& text);
std::string check(const std::string& output, const std::string& records, const std::string& name,
                  long long limit, int right);

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool crlf = !args.empty() && args[0] == "--crlf";
  if (crlf) args.erase(args.begin());
  if (args.size() != 5) {
    std::fprintf(stderr, "usage: session_check [--crlf] OUTPUT RECORDS NAME LIMIT RIGHT\n");
    return 2;
  }
  std::string output = read_whole(args[0].c_str());
  if (crlf && !from_crlf(output)) {
    std::fprintf(stderr, "session_check: a line of the output does not end in CR LF\n");
    return 1;
  }
  const std::string problem = check(output, read_whole(args[1].c_str()), args[2],
                                    std::atoll(args[3].c_str()), std::atoi(args[4].c_str()));
  if (!problem.empty()) {
    std::fprintf(stderr, "session_check: %s\n", problem.c_str());
    return 1;
  }
  std::printf("session_check: one whole test and its block\n");
  return 0;
}

namespace {

// The whole file, or nothing when it cannot be read.
std::string read_whole(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Turns every CR LF of `text` into LF. False when a LF comes without its CR
// or a CR without its LF.
bool from_crlf(std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 == text.size() || text[i + 1] != '\n') return false;
      continue;
    }
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    plain += text[i];
  }
  text = plain;
  return true;
}

// What is wrong with the session, or nothing.
std::string check(const std::string& output, const std::string& records, const std::string& name,
                  long long limit, int right) {
  using namespace testing_support;
  const std::string opening = std::string(kBanner) + std::string(kNamePrompt) +
                              std::string(kLimitPrompt) + std::string(kStartingTime);
  if (!output.starts_with(opening))
    return "the output does not open with the greeting and questions";
  if (!output.ends_with(kGoAgain)) return "the output does not end with the go-again question";
  if (right == 20 && output.find(right_verdict(name, 20, 20)) == std::string::npos) {
    return "no 20th right answer";
  }
  const std::vector<Report> reports = console_reports(output);
  if (reports.size() != 1) return "not exactly one report in the output";
  const Report& report = reports[0];
  if (report.name != name || report.limit != limit || report.right != right ||
      report.grade != letter_grade(right * 5)) {
    return "the report does not show the session's name, limit and result";
  }
  std::vector<Block> blocks;
  std::string why;
  if (!parse_records(records, &blocks, &why)) return "records.txt: " + why;
  if (blocks.size() != 1) return "records.txt does not hold exactly one block";
  if (blocks[0].text != log_block(report)) return "the block does not match the report";
  return "";
}

}  // namespace
