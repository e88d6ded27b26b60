#include "records/operations.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "records/format.h"

namespace records {

namespace {

constexpr char kSigns[kOperationKinds] = {'+', '-', 'x', '/'};
constexpr std::string_view kOnly = " only";
constexpr std::string_view kMixed = "mixed ";
// The share of each operation, by how many there are (two to four).
constexpr std::string_view kShares[kOperationKinds + 1] = {
    "", "", " (random 50/50)", " (random 1/3 each)", " (random 1/4 each)"};

constexpr void append(OperationsText* text, std::string_view piece) {
  for (char c : piece) text->bytes[text->size++] = c;
}

constexpr Operation operation_of(int index) { return static_cast<Operation>(index); }

constexpr OperationsText signs_of(Operations operations) {
  OperationsText text;
  for (int index = 0; index < operations.count(); ++index) {
    append(&text, std::string_view(&kSigns[static_cast<int>(operations.at(index))], 1));
  }
  return text;
}

constexpr OperationsText names_of(Operations operations) {
  OperationsText text;
  for (int index = 0; index < operations.count(); ++index) {
    if (index > 0) append(&text, "/");
    append(&text, name(operations.at(index)));
  }
  return text;
}

constexpr OperationsText description_of(Operations operations) {
  const int count = operations.count();
  OperationsText text;
  if (count == 1) {
    text = names_of(operations);
    append(&text, kOnly);
    return text;
  }
  append(&text, kMixed);
  append(&text, names_of(operations).view());
  append(&text, kShares[count]);
  return text;
}

// The index of a set of operations in the tables below: its operations'
// bits in canonical order. The empty set, 0, has no texts.
constexpr int kSets = 1 << kOperationKinds;
constexpr int set_index(Operations operations) {
  int index = 0;
  for (int kind = 0; kind < kOperationKinds; ++kind) {
    if (operations.has(operation_of(kind))) index |= 1 << kind;
  }
  return index;
}

// The set of operations whose bits, in canonical order, are `bits`
// (1 to kSets - 1): the inverse of set_index().
constexpr Operations set_of(int bits) {
  std::optional<Operations> operations;
  for (int kind = 0; kind < kOperationKinds; ++kind) {
    if ((bits & (1 << kind)) == 0) continue;
    operations =
        operations ? operations->with(operation_of(kind)) : Operations::only(operation_of(kind));
  }
  return *operations;
}

// The text that `make` gives every set of operations, made at compile time,
// by set_index().
constexpr std::array<OperationsText, kSets> text_table(OperationsText (*make)(Operations)) {
  std::array<OperationsText, kSets> all{};
  for (int bits = 1; bits < kSets; ++bits) all[static_cast<std::size_t>(bits)] = make(set_of(bits));
  return all;
}

constexpr std::array<OperationsText, kSets> kAllSigns = text_table(signs_of);
constexpr std::array<OperationsText, kSets> kAllNames = text_table(names_of);
constexpr std::array<OperationsText, kSets> kAllDescriptions = text_table(description_of);

}  // namespace

char sign(Operation operation) { return kSigns[static_cast<int>(operation)]; }

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

const OperationsText& signs(Operations operations) {
  return kAllSigns[static_cast<std::size_t>(set_index(operations))];
}

const OperationsText& names(Operations operations) {
  return kAllNames[static_cast<std::size_t>(set_index(operations))];
}

const OperationsText& description(Operations operations) {
  return kAllDescriptions[static_cast<std::size_t>(set_index(operations))];
}

std::optional<Operations> read_description(std::string_view text) {
  // The drill's default first, which most blocks hold; then every set.
  const int usual = set_index(Operations::mixed_addition_subtraction());
  if (text == kAllDescriptions[static_cast<std::size_t>(usual)].view()) {
    return Operations::mixed_addition_subtraction();
  }
  for (int bits = 1; bits < kSets; ++bits) {
    if (kAllDescriptions[static_cast<std::size_t>(bits)].view() == text) return set_of(bits);
  }
  return std::nullopt;
}

std::string_view limit_head(Operations operations) {
  if (!operations.multiplies()) return kLimitHead;
  return operations.low() == 1 ? kDivisionLimitHead : kNumberLimitHead;
}

}  // namespace records
