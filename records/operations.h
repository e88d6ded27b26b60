// The kinds of problem a test may hold (addition, subtraction,
// multiplication, division) and how records.txt and the programs name a
// choice of them: the signs typed after `mathdrill -o` ("+-x/"), the test
// description that the report and the block carry ("mixed
// multiplication/division (random 50/50)"), and the names a spreadsheet
// gets ("multiplication/division"). The drill reads the signs and writes the
// description; mathdrill-progress reads the description back.
#ifndef RECORDS_OPERATIONS_H_
#define RECORDS_OPERATIONS_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace records {

// In canonical order: the order of every text that lists them.
enum class Operation : std::uint8_t { addition, subtraction, multiplication, division };

inline constexpr int kOperationKinds = 4;

// The sign of `operation` as the prompts and `-o` show it: '+', '-', 'x'
// or '/'.
char sign(Operation operation);

// The names of the operations as spreadsheets get them, in canonical
// order.
inline constexpr std::string_view kOperationNames[kOperationKinds] = {"addition", "subtraction",
                                                                      "multiplication", "division"};

// The name of `operation` as spreadsheets get it: "addition",
// "subtraction", "multiplication" or "division".
constexpr std::string_view name(Operation operation) {
  return kOperationNames[static_cast<int>(operation)];
}

// A non-empty set of operations. Listed, counted and indexed in canonical
// order.
class Operations {
 public:
  // Addition and subtraction: the drill's test when no operations are named.
  static constexpr Operations mixed_addition_subtraction() {
    return Operations(bit(Operation::addition) | bit(Operation::subtraction));
  }
  // The set of one operation.
  static constexpr Operations only(Operation operation) { return Operations(bit(operation)); }

  constexpr bool has(Operation operation) const { return (bits_ & bit(operation)) != 0; }
  // How many operations the set holds, 1 to 4.
  constexpr int count() const {
    int count = 0;
    for (int index = 0; index < kOperationKinds; ++index) count += (bits_ >> index) & 1;
    return count;
  }
  // The operation at `index` (0 to count() - 1) in canonical order.
  constexpr Operation at(int index) const {
    for (int kind = 0; kind < kOperationKinds; ++kind) {
      if (((bits_ >> kind) & 1) != 0 && index-- == 0) return static_cast<Operation>(kind);
    }
    return Operation::addition;
  }
  // Whether the numbers of a problem are "numbers" rather than "addends":
  // multiplication or division is among them.
  constexpr bool multiplies() const {
    return has(Operation::multiplication) || has(Operation::division);
  }
  // The smallest number a problem draws: 1 when division is among them, so
  // that no divisor is 0, else 0.
  constexpr std::int32_t low() const { return has(Operation::division) ? 1 : 0; }
  // The union of this set and `operation`.
  constexpr Operations with(Operation operation) const {
    return Operations(bits_ | bit(operation));
  }
  constexpr bool operator==(const Operations&) const = default;

 private:
  constexpr explicit Operations(std::uint8_t bits) : bits_(bits) {}
  static constexpr std::uint8_t bit(Operation operation) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(operation));
  }
  std::uint8_t bits_;
};

// What reading the signs of `-o OPS` gives: the set, or why there is none.
struct SignsRead {
  enum class Fault : std::uint8_t { none, empty, unknown_sign, repeated };
  std::optional<Operations> operations;
  Fault fault = Fault::none;
  char sign = 0;  // the unknown or repeated sign
};

// Reads one or more of '+', '-', 'x' and '/' ('*' stands for 'x'), each
// operation at most once, in any order. Fails, with no set, on an empty text,
// a byte that is none of these, or an operation named twice.
SignsRead read_signs(std::string_view text);

// A short text with its own room, long enough for every text below. The
// functions below return texts made when compiling, which last as long as
// the program.
struct OperationsText {
  char bytes[80] = {};
  std::uint8_t size = 0;
  constexpr std::string_view view() const { return {bytes, size}; }
};

// The signs in canonical order: "+-", "x/", "+-x/".
const OperationsText& signs(Operations operations);

// The names joined by '/': "addition/subtraction", "multiplication".
const OperationsText& names(Operations operations);

// The test description after the problem count and "problems, ":
//   one operation:    "multiplication only"
//   two:              "mixed multiplication/division (random 50/50)"
//   three:            "mixed addition/subtraction/division (random 1/3 each)"
//   four:             "mixed addition/subtraction/multiplication/division (random 1/4 each)"
const OperationsText& description(Operations operations);

// The set whose description() is `text`; nothing for any other text.
std::optional<Operations> read_description(std::string_view text);

// The head of the limit line before the largest number: "Addend limits 0
// through " for addition and subtraction alone, else "Number limits L
// through " with L the low bound (1 with division, else 0).
std::string_view limit_head(Operations operations);

}  // namespace records

#endif  // RECORDS_OPERATIONS_H_
