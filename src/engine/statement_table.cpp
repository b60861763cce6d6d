// The statement forms of the algorithm language in the order a statement is tested.
#include "engine/statement_table.h"

#include "engine/config_bytes.h"
#include "engine/engine.h"

namespace tessaflex::engine {

// The table is built inside the engine's friend, since the handlers are the engine's own.
const std::vector<StatementForm>& statement_forms() {
  // Built once and never changed afterwards.
  static const std::vector<StatementForm> table = [] {
    using F = FormTest;
    using E = Engine;
    std::vector<StatementForm> forms = {
        {F::equals, "begin", &E::begin},
        {F::equals, "end", &E::end},
        {F::equals, "startprog", &E::startprog},
        {F::equals, "setprogtime", &E::setprogtime},
        {F::equals, "calcflash", &E::calcflash},
        {F::equals, "calcflashpage", &E::calcflashpage},
        {F::equals, "calceeprom", &E::calceeprom},
        {F::equals, "setflashloop", &E::setloop, kFlashLoop},
        {F::equals, "seteepromloop", &E::setloop, kEepromLoop},
        {F::equals, "loop", &E::loop},
        {F::equals, "ifpage", &E::ifpage},
        {F::equals, "endifpage", &E::endifpage},
        {F::equals, "movlw-upper", &E::movlw_address, kUpperByte},
        {F::equals, "movlw-high", &E::movlw_address, kHighByte},
        {F::equals, "movlw-low", &E::movlw_address, kLowByte},
        {F::equals, "movlw-eeprom", &E::movlw_eeprom},
        {F::s_and_suffix, "-flash", &E::write_flash},
    };
    const auto each_config = [&forms](FormTest test, std::string_view before, std::string_view after,
                                      StatementHandler handler) {
      for (int i = 0; i < static_cast<int>(kConfigByteNames.size()); ++i) {
        std::string text(before);
        text += kConfigByteNames[static_cast<std::size_t>(i)].name;
        text += after;
        forms.push_back({test, std::move(text), handler, i});
      }
    };
    each_config(F::s_and_suffix, "-", "", &E::write_config);  // sXX-config1l ..
    forms.push_back({F::equals, "waitwr", &E::waitwr});
    forms.push_back({F::prefix, "flash=s", &E::read_flash});
    forms.push_back({F::prefix, "eeprom=s", &E::read_eeprom});
    each_config(F::prefix, "", "=s", &E::read_config);  // config1l=sXX ..
    forms.push_back({F::prefix, "temp=s", &E::read_temp});
    forms.push_back({F::equals, "checkblankflash", &E::checkblankflash});
    forms.push_back({F::equals, "checkblankeeprom", &E::checkblankeeprom});
    each_config(F::equals, "checkblank", "", &E::checkblankconfig);  // checkblankconfig1l ..
    forms.push_back({F::equals, "checkflash", &E::checkflash});
    forms.push_back({F::equals, "checkeeprom", &E::checkeeprom});
    each_config(F::equals, "check", "", &E::checkconfig);  // checkconfig1l ..
    // The two catch-alls come last: sXX-YYYY would also match s0c-flash-like texts of
    // length 8, and every text beginning with "w" that is not "waitwr" is a wait.
    forms.push_back({F::command_operand, "", &E::command_operand});
    forms.push_back({F::w_first, "", &E::wait});
    return forms;
  }();
  return table;
}

bool matches(const StatementForm& row, std::string_view s) {
  switch (row.test) {
    case FormTest::equals:
      return s == row.text;
    case FormTest::prefix:
      return s.starts_with(row.text);
    case FormTest::s_and_suffix:
      return s.ends_with(row.text) && s.starts_with('s');
    case FormTest::command_operand:
      return s.size() == 8 && s[0] == 's' && s[3] == '-';
    case FormTest::w_first:
      return s.starts_with('w');
  }
  return false;
}

const StatementForm* find_statement_form(std::string_view s) {
  for (const StatementForm& row : statement_forms()) {
    if (matches(row, s)) return &row;
  }
  return nullptr;
}

}  // namespace tessaflex::engine
