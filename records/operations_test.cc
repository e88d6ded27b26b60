#include "records/operations.h"

#include <gtest/gtest.h>

#include <string>

namespace records {
namespace {

using Fault = SignsRead::Fault;

std::string signs_of(std::string_view typed) {
  const SignsRead read = read_signs(typed);
  return read.operations ? std::string(signs(*read.operations).view()) : "";
}

TEST(ReadSigns, TakesEachOperationOnceInAnyOrder) {
  struct Case {
    std::string_view typed;
    std::string_view canonical;
  };
  const Case cases[] = {
      {.typed = "+-", .canonical = "+-"},   {.typed = "-+", .canonical = "+-"},
      {.typed = "x", .canonical = "x"},     {.typed = "*", .canonical = "x"},
      {.typed = "/x", .canonical = "x/"},   {.typed = "/*-+", .canonical = "+-x/"},
      {.typed = "-", .canonical = "-"},     {.typed = "+/", .canonical = "+/"},
      {.typed = "x-/", .canonical = "-x/"}, {.typed = "+-x/", .canonical = "+-x/"},
  };
  for (const Case& c : cases) EXPECT_EQ(signs_of(c.typed), c.canonical) << c.typed;
}

TEST(SignAndName, EachOperationReadsBackFromItsSignAndItsNameJoinsTheNames) {
  for (int index = 0; index < kOperationKinds; ++index) {
    const auto operation = static_cast<Operation>(index);
    const SignsRead read = read_signs(std::string(1, sign(operation)));
    ASSERT_TRUE(read.operations) << index;
    EXPECT_EQ(*read.operations, Operations::only(operation));
    EXPECT_EQ(names(Operations::only(operation)).view(), name(operation));
  }
  EXPECT_EQ(name(Operation::division), "division");
  EXPECT_EQ(sign(Operation::multiplication), 'x');
}

TEST(ReadSigns, RefusesEmptyUnknownAndRepeated) {
  struct Case {
    std::string_view typed;
    Fault fault;
    char sign;
  };
  const Case cases[] = {
      {.typed = "", .fault = Fault::empty, .sign = 0},
      {.typed = "+a", .fault = Fault::unknown_sign, .sign = 'a'},
      {.typed = "X", .fault = Fault::unknown_sign, .sign = 'X'},
      {.typed = "+ -", .fault = Fault::unknown_sign, .sign = ' '},
      {.typed = "++", .fault = Fault::repeated, .sign = '+'},
      {.typed = "x*", .fault = Fault::repeated, .sign = '*'},
      {.typed = "/-/", .fault = Fault::repeated, .sign = '/'},
  };
  for (const Case& c : cases) {
    const SignsRead read = read_signs(c.typed);
    EXPECT_FALSE(read.operations.has_value()) << c.typed;
    EXPECT_EQ(read.fault, c.fault) << c.typed;
    EXPECT_EQ(read.sign, c.sign) << c.typed;
  }
}

TEST(Description, NamesTheOperationsInCanonicalOrder) {
  struct Case {
    std::string_view typed;
    std::string_view description;
    std::string_view names;
    std::string_view limit_head;
  };
  const Case cases[] = {
      {.typed = "x",
       .description = "multiplication only",
       .names = "multiplication",
       .limit_head = "Number limits 0 through "},
      {.typed = "-",
       .description = "subtraction only",
       .names = "subtraction",
       .limit_head = "Addend limits 0 through "},
      {.typed = "+-",
       .description = "mixed addition/subtraction (random 50/50)",
       .names = "addition/subtraction",
       .limit_head = "Addend limits 0 through "},
      {.typed = "/x",
       .description = "mixed multiplication/division (random 50/50)",
       .names = "multiplication/division",
       .limit_head = "Number limits 1 through "},
      {.typed = "/+-",
       .description = "mixed addition/subtraction/division (random 1/3 each)",
       .names = "addition/subtraction/division",
       .limit_head = "Number limits 1 through "},
      {.typed = "x/-+",
       .description = "mixed addition/subtraction/multiplication/division (random 1/4 each)",
       .names = "addition/subtraction/multiplication/division",
       .limit_head = "Number limits 1 through "},
  };
  for (const Case& c : cases) {
    const Operations operations = *read_signs(c.typed).operations;
    EXPECT_EQ(description(operations).view(), c.description) << c.typed;
    EXPECT_EQ(names(operations).view(), c.names) << c.typed;
    EXPECT_EQ(limit_head(operations), c.limit_head) << c.typed;
  }
}

TEST(Description, ReadsBackEverySetAndNothingElse) {
  const std::string_view all_signs[] = {"+",  "-",  "x",   "/",   "+-",  "+x",  "+/",  "-x",
                                        "-/", "x/", "+-x", "+-/", "+x/", "-x/", "+-x/"};
  for (std::string_view typed : all_signs) {
    const Operations operations = *read_signs(typed).operations;
    EXPECT_EQ(read_description(description(operations).view()), operations) << typed;
  }
  const std::string_view foreign[] = {"",
                                      "mixed addition/subtraction",
                                      "mixed addition/subtraction (random 1/3 each)",
                                      "mixed subtraction/addition (random 50/50)",
                                      "addition/subtraction only",
                                      "mixed multiplication only",
                                      "multiplication only "};
  for (std::string_view text : foreign) EXPECT_FALSE(read_description(text)) << text;
}

TEST(Operations, IndexAndCountFollowCanonicalOrder) {
  const Operations operations = *read_signs("/-").operations;
  EXPECT_EQ(operations.count(), 2);
  EXPECT_EQ(operations.at(0), Operation::subtraction);
  EXPECT_EQ(operations.at(1), Operation::division);
  EXPECT_EQ(operations.low(), 1);
  EXPECT_EQ(Operations::mixed_addition_subtraction().low(), 0);
  EXPECT_FALSE(Operations::mixed_addition_subtraction().multiplies());
}

}  // namespace
}  // namespace records
