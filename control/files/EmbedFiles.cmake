cmake_minimum_required(VERSION 3.25)
# Turns the files the control panel carries into a C++ source with their constant records.
# Run at build time: cmake -DOUTPUT=<generated .cpp> -P EmbedFiles.cmake
# Each record is "name|subdirectory|source file in this directory", in the order of writing.
set(records
    "Contact Page.htm||Contact Page.htm"
    "image1.jpg|images|image1.jpg"
    "License.txt||License.txt")

set(arrays "")
set(entries "")
set(index 0)
foreach(record IN LISTS records)
  string(REPLACE "|" ";" fields "${record}")
  list(GET fields 0 name)
  list(GET fields 1 subdir)
  list(GET fields 2 source)
  file(READ "${CMAKE_CURRENT_LIST_DIR}/${source}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR length "${digits} / 2")
  if(length EQUAL 0)
    message(FATAL_ERROR "stored file ${source} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 row)
  string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char Content${index}[] = {\n    ${bytes}\n};\n")
  string(APPEND entries "    {\"${name}\", \"${subdir}\", ${length}, Content${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

set(text "// Generated at build time from control/files; do not edit.\n")
string(APPEND text "#include \"control/KXB3_EmbeddedFile.h\"\n\nnamespace {\n${arrays}} // namespace\n\n")
string(APPEND text "const TEmbeddedFile EmbeddedFiles[EmbeddedFileCount] = {\n${entries}};\n")

file(WRITE "${OUTPUT}" "${text}")
