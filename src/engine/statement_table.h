// The statement forms of the algorithm language in the order a statement is tested.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaflex::engine {

class Engine;

// What a statement's text must look like for a form to match it. Every test is on the
// whole text, character for character and case-sensitively; blanks count.
enum class FormTest {
  equals,           // s = text
  prefix,           // the first characters of s are text
  s_and_suffix,     // the last characters of s are text and s begins with "s"
  command_operand,  // 8 characters, "s" first and "-" fourth: sXX-YYYY
  w_first,          // s begins with "w"
};

// A form's handler gets the statement's text and the row's argument: the configuration
// index 0..13 for the configuration families, the address byte for movlw-upper/high/low,
// the image for the loop heads; 0 otherwise.
using StatementHandler = void (Engine::*)(std::string_view statement, int arg);

// The arguments that are not a configuration index; plain enums, so a row holds them as
// its int and a handler compares its int with them.
enum AddressByteArg : int { kUpperByte, kHighByte, kLowByte };  // movlw-upper/high/low
enum LoopImageArg : int { kFlashLoop, kEepromLoop };            // setflashloop, seteepromloop

struct StatementForm {
  FormTest test;
  std::string text;
  StatementHandler handler;
  int arg = 0;
};

// True when s has the form of row.
bool matches(const StatementForm& row, std::string_view s);

// The 83 forms, tested top to bottom; the first that matches is carried out.
const std::vector<StatementForm>& statement_forms();

// The first form that matches s, or nullptr when s is not a statement of the language.
const StatementForm* find_statement_form(std::string_view s);

}  // namespace tessaflex::engine
