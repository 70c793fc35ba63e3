# cmake -DINPUT=FILE -DOUTPUT=FILE -DFUNCTION=NAME -P EmbedText.cmake
# Writes a C++ source whose function NAME returns the text of INPUT, so that
# a data file kept as text in the repository is compiled into the program.
file(READ ${INPUT} text)
string(FIND "${text}" ")chronara\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string's end marker")
endif()
file(WRITE ${OUTPUT}.new
  "// Generated from ${INPUT} by cmake/EmbedText.cmake; do not edit.\n"
  "#include <string_view>\n"
  "std::string_view ${FUNCTION}() {\n"
  "    static constexpr char kText[] = R\"chronara(${text})chronara\";\n"
  "    return std::string_view(kText, sizeof kText - 1);\n"
  "}\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
