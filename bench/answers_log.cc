// The answers files that bench/progress_bench.sh runs mathdrill-progress
// --facts on, every line laid out by test support's model of the drill's
// answers (tests/support/answers_lines.h):
//
//   answers_log FILE BYTES
//     An answers file of just under BYTES bytes: five children taking
//     turns, tests of 20 products and quotients to 12 drawn from a fixed
//     seed, one test a minute, in time order, as the drill appends them.
//     Written in pieces of 10,000 tests. Prints the number of answers
//     written.
//
//   answers_log --facts FILE COUNT
//     COUNT different facts, each asked once: children of 400 products
//     (0 to 19 by 0 to 19) each, in tests of 20, so that memory grows with
//     the facts. Prints the number of facts written.
//
// Exit status 0, or 1 with a message when the file cannot be written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/answers_lines.h"

namespace {

using testing_support::AnswerLine;

constexpr int kPieceTests = 10000;
constexpr int kProblems = 20;
constexpr const char* kNames[] = {"Ann", "Bob", "O'Neil,\"Jo\"", "Zoë", "Max"};
constexpr int kNameCount = 5;

int write_answers(const char* path, std::uint64_t bytes);
int write_facts(const char* path, std::uint64_t count);
std::string started(std::int64_t minute);
bool write_all(std::FILE* file, const std::string& text);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) return write_answers(argv[1], std::strtoull(argv[2], nullptr, 10));
  if (argc == 4 && std::string_view(argv[1]) == "--facts") {
    return write_facts(argv[2], std::strtoull(argv[3], nullptr, 10));
  }
  std::fprintf(stderr, "usage: answers_log FILE BYTES | answers_log --facts FILE COUNT\n");
  return 2;
}

namespace {

int write_answers(const char* path, std::uint64_t bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  std::uint32_t seed = 12345;
  const auto draw = [&seed](std::uint32_t below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::int64_t>((seed >> 16) % below);
  };
  std::uint64_t written = testing_support::answers_header().size();
  std::uint64_t answers = 0;
  bool ok = write_all(file, testing_support::answers_header());
  for (int day = 0; ok; ++day) {
    std::string piece;
    for (int test = 0; test < kPieceTests; ++test) {
      for (int problem = 1; problem <= kProblems; ++problem) {
        AnswerLine line{.started = started(std::int64_t{day} * kPieceTests + test),
                        .name = kNames[test % kNameCount],
                        .operations = "multiplication/division",
                        .limit = 12,
                        .problem = problem};
        const std::int64_t a = 1 + draw(12);
        const std::int64_t b = 1 + draw(12);
        if (draw(2) == 0) {
          line.operation = "multiplication";
          line.first = a;
          line.second = b;
          line.correct = a * b;
        } else {
          line.operation = "division";
          line.first = a * b;
          line.second = b;
          line.correct = a;
        }
        line.answer = draw(5) == 0 ? line.correct + 1 : line.correct;
        line.milliseconds = static_cast<std::uint32_t>(500 + draw(6000));
        piece += line.text();
      }
    }
    if (written + piece.size() > bytes) break;
    ok = write_all(file, piece);
    written += piece.size();
    answers += kPieceTests * kProblems;
  }
  if (std::fclose(file) != 0 || !ok) {
    std::perror(path);
    return 1;
  }
  std::printf("%llu\n", static_cast<unsigned long long>(answers));
  return 0;
}

int write_facts(const char* path, std::uint64_t count) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  bool ok = write_all(file, testing_support::answers_header());
  std::string piece;
  for (std::uint64_t fact = 0; fact < count && ok; ++fact) {
    const std::uint64_t child = fact / 400;
    const std::int64_t a = static_cast<std::int64_t>(fact % 400 / 20);
    const std::int64_t b = static_cast<std::int64_t>(fact % 20);
    piece += AnswerLine{.started = started(static_cast<std::int64_t>(child / 1440 % 300 * 1440 +
                                                                     child % 1440 / 20 * 20) +
                                           a % 20),
                        .name = "Child" + std::to_string(child),
                        .operations = "multiplication",
                        .limit = 19,
                        .problem = static_cast<std::int32_t>(b + 1),
                        .operation = "multiplication",
                        .first = a,
                        .second = b,
                        .correct = a * b,
                        .answer = a * b,
                        .milliseconds = 1500}
                 .text();
    if (piece.size() >= (1 << 20)) {
      ok = write_all(file, piece);
      piece.clear();
    }
  }
  ok = ok && write_all(file, piece);
  if (std::fclose(file) != 0 || !ok) {
    std::perror(path);
    return 1;
  }
  std::printf("%llu\n", static_cast<unsigned long long>(count));
  return 0;
}

// The start of a test `minute` minutes after 2026-01-01T00:00:00, in
// years of 365 days.
std::string started(std::int64_t minute) {
  static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const std::int64_t days = minute / 1440;
  int day = static_cast<int>(days % 365);
  int month = 0;
  while (day >= kMonthDays[month]) day -= kMonthDays[month++];
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:00",
                static_cast<int>(2026 + days / 365), month + 1, day + 1,
                static_cast<int>(minute / 60 % 24), static_cast<int>(minute % 60));
  return text;
}

bool write_all(std::FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace
