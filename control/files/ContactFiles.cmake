# Generates the constant records of the stored files from the files kept in this directory.
# Include from the control library's CMakeLists and add ${QUILBEX_EMBEDDED_FILES_CPP} to it.
set(QUILBEX_EMBEDDED_FILES_CPP ${CMAKE_CURRENT_BINARY_DIR}/KXB3_EmbeddedFiles.cpp)
add_custom_command(
  OUTPUT ${QUILBEX_EMBEDDED_FILES_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${QUILBEX_EMBEDDED_FILES_CPP}
          -P ${CMAKE_CURRENT_LIST_DIR}/EmbedFiles.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/EmbedFiles.cmake
          "${CMAKE_CURRENT_LIST_DIR}/Contact Page.htm"
          ${CMAKE_CURRENT_LIST_DIR}/image1.jpg
          ${CMAKE_CURRENT_LIST_DIR}/License.txt
  COMMENT "Embedding the control panel's stored files"
  VERBATIM)
