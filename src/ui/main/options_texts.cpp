// What the Options and Help menus compute: the typed programming time and the About text.
#include "ui/main/options_texts.h"

#include "core/decimal.h"

namespace tessaflex::ui {

ProgTimeReply read_programming_time(std::string_view reply) {
  if (reply.empty()) return {};
  const double x = core::text_to_number(reply);
  if (!(x >= 1 && x <= 30)) return {ProgTimeReply::Outcome::wrong, 0};
  return {ProgTimeReply::Outcome::accepted, static_cast<std::int32_t>(core::round_half_even(x))};
}

std::string about_text(std::string_view program_title) {
  std::string text;
  for (std::string_view line : {
           program_title,
           std::string_view("The control program of a USB device programmer for Microchip PIC18 chips."),
           std::string_view(),
           std::string_view("This software is supplied as is in goodwill that it will successfully serve "
                            "its purpose, but without any warranties."),
           std::string_view("Its source code lives in the Tessaflex repository; the chip models in "
                            "korvadevices.txt beside the program."),
           std::string_view(),
           std::string_view("Send bug reports and suggestions to:"),
           std::string_view("the issue tracker of the Tessaflex repository."),
       }) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace tessaflex::ui
