# Writes the bytes of IN as a C++ array named SYMBOL into OUT.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row)
string(REGEX REPLACE "(${row})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}"
  "#include <cstddef>\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}_size;\n"
  "alignas(4) const unsigned char ${SYMBOL}[] = {\n${bytes}0};\n"
  "const std::size_t ${SYMBOL}_size = ${size};\n")
