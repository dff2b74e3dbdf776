// What the first bytes of a Windows program say about it: which Windows it is built for, and
// whether it carries a signature (the certificate table an Authenticode signing adds). Whether
// the signature is valid and trusted is Windows' business; a file without one is what Office's
// "signed by a trusted publisher" requirement turns away whatever else is true.
#pragma once

#include "ClassicTabCheck.h"

#include <cstddef>

namespace cornice {

// How many bytes from the file's start ReadLibraryImage needs at most.
inline constexpr std::size_t kLibraryHeaderBytes = 4096;

struct LibraryImage {
    Bitness bitness = Bitness::Unknown; // Unknown: not a PE file of x86 or x64
    bool isSigned = false;
};

LibraryImage ReadLibraryImage(const unsigned char* data, std::size_t size);

} // namespace cornice
