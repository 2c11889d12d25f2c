// The viewer's page parts (tools/disegno/vista/), built into the tool at configure
// time so that `view` needs no file at run time.
#pragma once

#include <string_view>

namespace scenario {

extern const std::string_view kVistaHtml;  // the body's elements
extern const std::string_view kVistaCss;   // the style
extern const std::string_view kVistaJs;    // the script

}  // namespace scenario
