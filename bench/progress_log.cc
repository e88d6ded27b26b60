// The logs that bench/progress_bench.sh runs mathdrill-progress on, with
// every block laid out by test support's model of the drill
// (tests/support/transcript.h), so the benchmark holds no copy of the
// format:
//
//   progress_log LOG BYTES
//     A log of just under BYTES bytes of whole blocks: five children taking
//     turns over a year, about 55 tests a day, times in UTC, answers right,
//     limits and seconds drawn from a fixed seed. A piece of 20,000 blocks
//     is made once and repeated. Prints the number of tests written and
//     the number of them that are Zoë's: "TESTS ZOES".
//
//   progress_log --files FOLDER COUNT
//     COUNT logs of one test each, FOLDER/log0.txt, FOLDER/log1.txt, ...
//
// Exit status 0, or 1 with a message when a file cannot be written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/transcript.h"

namespace {

constexpr std::int64_t kJanuary1 = 1767225600;  // 2026-01-01 00:00:00 UTC, a Thursday
constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr int kPieceTests = 20000;
constexpr int kTestsADay = 55;
// The children, taking turns; the benchmark lists Zoë's tests.
constexpr const char* kNames[] = {"Ann", "Bob", "O'Neil,\"Jo\"", "Zoë", "Max"};
constexpr int kNameCount = 5;
constexpr int kZoe = 3;

std::vector<std::string> blocks(int tests);
bool write_file(const std::string& path, std::string_view bytes, std::uint64_t times,
                std::size_t tail);

// A small fixed-seed generator, so that every run writes the same logs.
class Draws {
 public:
  int below(int bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
  }

 private:
  std::uint64_t state_ = 20260308;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) {
    const std::uint64_t bytes = std::strtoull(argv[2], nullptr, 10);
    std::string piece;
    for (const std::string& block : blocks(kPieceTests)) piece += block;
    // The whole pieces that fit, then the whole blocks of one more that do.
    const std::uint64_t copies = bytes / piece.size();
    const std::uint64_t room = bytes - copies * piece.size();
    std::size_t tail = 0;
    int tail_tests = 0;
    for (const std::string& block : blocks(kPieceTests)) {
      if (tail + block.size() > room) break;
      tail += block.size();
      ++tail_tests;
    }
    if (!write_file(argv[1], piece, copies, tail)) return 1;
    const auto zoes = [](std::uint64_t tests) {
      return (tests + kNameCount - 1 - kZoe) / kNameCount;
    };
    const std::uint64_t tests = copies * kPieceTests + static_cast<std::uint64_t>(tail_tests);
    std::printf("%llu %llu\n", static_cast<unsigned long long>(tests),
                static_cast<unsigned long long>(copies * zoes(kPieceTests) + zoes(tail_tests)));
    return 0;
  }
  if (argc == 4 && std::string_view(argv[1]) == "--files") {
    const std::vector<std::string> tests = blocks(std::atoi(argv[3]));
    for (std::size_t i = 0; i < tests.size(); ++i) {
      const std::string path = std::string(argv[2]) + "/log" + std::to_string(i) + ".txt";
      if (!write_file(path, tests[i], 1, 0)) return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: progress_log LOG BYTES | progress_log --files FOLDER COUNT\n");
  return 2;
}

namespace {

// `tests` blocks, five children taking turns.
std::vector<std::string> blocks(int tests) {
  static const int kLimits[] = {5, 10, 12, 20};
  Draws draws;
  std::vector<std::string> made;
  for (int i = 0; i < tests; ++i) {
    const std::int64_t day = i / kTestsADay % 365;
    const std::int64_t start =
        kJanuary1 + day * kDay + 15 * 3600 + (i % kTestsADay) * 240 + draws.below(60);
    const std::int64_t elapsed = 20 + draws.below(160);
    const int right = 8 + draws.below(13);
    made.push_back(testing_support::log_block(testing_support::make_report(
        kNames[i % kNameCount], kLimits[i % 4], right, start, start + elapsed)));
  }
  return made;
}

// Writes `bytes` `times` times, then its first `tail` bytes, to `path`.
bool write_file(const std::string& path, std::string_view bytes, std::uint64_t times,
                std::size_t tail) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr;
  for (std::uint64_t i = 0; written && i < times; ++i) {
    written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  if (written && tail > 0) written = std::fwrite(bytes.data(), 1, tail, file) == tail;
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) std::fprintf(stderr, "progress_log: %s cannot be written\n", path.c_str());
  return written;
}

}  // namespace
