#include "records/operations.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "records/format.h"

namespace records {

namespace {

constexpr char kSigns[kOperationKinds] = {'+', '-', 'x', '/'};
constexpr std::string_view kNames[kOperationKinds] = {"addition", "subtraction", "multiplication",
                                                      "division"};
constexpr std::string_view kOnly = " only";
constexpr std::string_view kMixed = "mixed ";
// The share of each operation, by how many there are (two to four).
constexpr std::string_view kShares[kOperationKinds + 1] = {
    "", "", " (random 50/50)", " (random 1/3 each)", " (random 1/4 each)"};
constexpr std::string_view kNumberLimitHead = "Number limits 0 through ";
constexpr std::string_view kDivisionLimitHead = "Number limits 1 through ";

void append(OperationsText* text, std::string_view piece) {
  std::memcpy(text->bytes + text->size, piece.data(), piece.size());
  text->size = static_cast<std::uint8_t>(text->size + piece.size());
}

Operation operation_of(int index) { return static_cast<Operation>(index); }

}  // namespace

int Operations::count() const {
  int count = 0;
  for (int index = 0; index < kOperationKinds; ++index) count += has(operation_of(index)) ? 1 : 0;
  return count;
}

Operation Operations::at(int index) const {
  for (int kind = 0; kind < kOperationKinds; ++kind) {
    if (has(operation_of(kind)) && index-- == 0) return operation_of(kind);
  }
  return Operation::addition;
}

SignsRead read_signs(std::string_view text) {
  SignsRead read;
  if (text.empty()) {
    read.fault = SignsRead::Fault::empty;
    return read;
  }
  std::optional<Operations> operations;
  for (char sign : text) {
    const char canonical = sign == '*' ? 'x' : sign;
    const char* found = std::find(std::begin(kSigns), std::end(kSigns), canonical);
    if (found == std::end(kSigns)) {
      read.fault = SignsRead::Fault::unknown_sign;
      read.sign = sign;
      return read;
    }
    const Operation operation = operation_of(static_cast<int>(found - kSigns));
    if (operations && operations->has(operation)) {
      read.fault = SignsRead::Fault::repeated;
      read.sign = sign;
      return read;
    }
    operations = operations ? operations->with(operation) : Operations::only(operation);
  }
  read.operations = operations;
  return read;
}

OperationsText signs(Operations operations) {
  OperationsText text;
  for (int index = 0; index < operations.count(); ++index) {
    append(&text, std::string_view(&kSigns[static_cast<int>(operations.at(index))], 1));
  }
  return text;
}

OperationsText names(Operations operations) {
  OperationsText text;
  for (int index = 0; index < operations.count(); ++index) {
    if (index > 0) append(&text, "/");
    append(&text, kNames[static_cast<int>(operations.at(index))]);
  }
  return text;
}

OperationsText description(Operations operations) {
  const int count = operations.count();
  if (count == 1) {
    OperationsText text = names(operations);
    append(&text, kOnly);
    return text;
  }
  OperationsText text;
  append(&text, kMixed);
  append(&text, names(operations).view());
  append(&text, kShares[count]);
  return text;
}

std::optional<Operations> read_description(std::string_view text) {
  // Fifteen sets in all, each with its description, made once.
  struct Described {
    Operations operations;
    OperationsText text;
  };
  static const std::vector<Described> kDescribed = [] {
    std::vector<Described> all;
    for (unsigned bits = 1; bits < (1u << kOperationKinds); ++bits) {
      std::optional<Operations> operations;
      for (int index = 0; index < kOperationKinds; ++index) {
        if ((bits & (1u << index)) == 0) continue;
        operations = operations ? operations->with(operation_of(index))
                                : Operations::only(operation_of(index));
      }
      all.push_back({*operations, description(*operations)});
    }
    // The drill's default first: most blocks hold it.
    std::stable_partition(all.begin(), all.end(), [](const Described& d) {
      return d.operations == Operations::mixed_addition_subtraction();
    });
    return all;
  }();
  for (const Described& described : kDescribed) {
    if (described.text.view() == text) return described.operations;
  }
  return std::nullopt;
}

std::string_view limit_head(Operations operations) {
  if (!operations.multiplies()) return kLimitHead;
  return operations.low() == 1 ? kDivisionLimitHead : kNumberLimitHead;
}

}  // namespace records
