# Writes the bytes of INPUT into OUTPUT as a C++ array, so that the program
# carries its compiled resources inside it.
#   cmake -DINPUT=tessel.res -DOUTPUT=tessel_res.cpp -P embed.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from the compiled resources; do not edit.\n#include <cstddef>\n\n"
  "namespace framework {\nextern const unsigned char kEmbeddedResources[] = {\n${bytes}\n};\n"
  "extern const std::size_t kEmbeddedResourcesSize = ${size};\n}  // namespace framework\n")
