// The files the control panel carries in its own data and writes beside itself at every start.
#pragma once

#include <cstdint>

struct TEmbeddedFile {
    const char* name;         // file name
    const char* subdirectory; // directory below the program's directory; "" for none
    int32_t length;           // number of content bytes
    const unsigned char* content;
};

// In the order of writing: "Contact Page.htm", "images/image1.jpg", "License.txt".
// The records are generated at build time from the files kept in control/files.
constexpr int EmbeddedFileCount = 3;
extern const TEmbeddedFile EmbeddedFiles[EmbeddedFileCount];
