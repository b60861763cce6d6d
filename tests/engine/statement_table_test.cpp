// The dispatch order of the statement forms and its traps.
#include "engine/statement_table.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaflex::engine {
namespace {

// Position of the form that takes s (0-based), or -1 when none does.
int form_of(std::string_view s) {
  const StatementForm* row = find_statement_form(s);
  return row == nullptr ? -1 : static_cast<int>(row - statement_forms().data());
}

TEST(StatementTable, HoldsTheEightyThreeFormsInDispatchOrder) {
  const auto& forms = statement_forms();
  ASSERT_EQ(forms.size(), 83u);
  EXPECT_EQ(forms[0].text, "begin");
  EXPECT_EQ(forms[15].text, "movlw-eeprom");
  EXPECT_EQ(forms[16].text, "-flash");
  EXPECT_EQ(forms[17].text, "-config1l");
  EXPECT_EQ(forms[30].text, "-config7h");
  EXPECT_EQ(forms[31].text, "waitwr");
  EXPECT_EQ(forms[34].text, "config1l=s");
  EXPECT_EQ(forms[47].text, "config7h=s");
  EXPECT_EQ(forms[48].text, "temp=s");
  EXPECT_EQ(forms[51].text, "checkblankconfig1l");
  EXPECT_EQ(forms[64].text, "checkblankconfig7h");
  EXPECT_EQ(forms[67].text, "checkconfig1l");
  EXPECT_EQ(forms[80].text, "checkconfig7h");
  EXPECT_EQ(forms[81].test, FormTest::command_operand);
  EXPECT_EQ(forms[82].test, FormTest::w_first);
}

struct DispatchCase {
  const char* statement;
  int form;  // -1: unrecognized
};

class Dispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, FirstMatchingFormTakesTheStatement) {
  EXPECT_EQ(form_of(GetParam().statement), GetParam().form) << '"' << GetParam().statement << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Traps, Dispatch,
    ::testing::Values(
        DispatchCase{"begin", 0}, DispatchCase{" begin", -1}, DispatchCase{"begin ", -1},
        DispatchCase{"BEGIN", -1}, DispatchCase{"", -1}, DispatchCase{"endifpage", 11},
        // Length 9: a flash write, never sXX-YYYY.
        DispatchCase{"s0c-flash", 16}, DispatchCase{"s0cjunk-flash", 16}, DispatchCase{"-flash", -1},
        DispatchCase{"x0c-flash", -1}, DispatchCase{"s0c-config1h", 18}, DispatchCase{"s0c-config7h", 30},
        DispatchCase{"waitwr", 31}, DispatchCase{"flash=s09zz", 32}, DispatchCase{"flash=s", 32},
        DispatchCase{"eeprom=s09", 33}, DispatchCase{"config2h=s09", 37}, DispatchCase{"temp=s09", 48},
        DispatchCase{"checkblankflash", 49}, DispatchCase{"checkblankconfig2h", 54},
        DispatchCase{"checkflash", 65}, DispatchCase{"checkconfig7h", 80}, DispatchCase{"checkconfig7h ", -1},
        DispatchCase{"s0d-0000", 81}, DispatchCase{"s0d-00000", -1}, DispatchCase{"s0d_0000", -1},
        // Everything else that begins with "w" is a wait, even a lookalike of sXX-YYYY.
        DispatchCase{"wait", 82}, DispatchCase{"w", 82}, DispatchCase{"waitwr ", 82},
        DispatchCase{"w0d-0000", 82}, DispatchCase{"loop", 9}, DispatchCase{"loop,", -1}));

}  // namespace
}  // namespace tessaflex::engine
