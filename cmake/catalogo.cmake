# A compiled catalogue (.mo) as a C++ source that holds its bytes, so that the
# executables carry their texts inside them.
# -DMO=<the .mo file> -DCPP=<the source to write> -DFUNZIONE=<its function>
cmake_minimum_required(VERSION 3.25)
file(READ ${MO} esadecimale HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," byte "${esadecimale}")
file(WRITE ${CPP}.nuovo
"// Generated from ${MO} by cmake/catalogo.cmake: do not edit.
#include \"base/traduzione.h\"

namespace scenario {

std::string_view ${FUNZIONE}() {
  static constexpr char kByte[] = {
    ${byte}};
  return {kByte, sizeof kByte};
}

}  // namespace scenario
")
configure_file(${CPP}.nuovo ${CPP} COPYONLY)
