#include "LibraryImage.h"

#include <cstdint>

namespace cornice {
namespace {

std::uint32_t Little(const unsigned char* data, std::size_t bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) value = value << 8 | data[i];
    return value;
}

} // namespace

LibraryImage ReadLibraryImage(const unsigned char* data, std::size_t size)
{
    LibraryImage image;
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return image;
    const std::size_t pe = Little(data + 0x3C, 4);
    // Signature, file header (20 bytes), then the optional header's magic.
    if (pe > size || size - pe < 24 + 2 || Little(data + pe, 4) != 0x00004550) return image;
    const std::uint32_t machine = Little(data + pe + 4, 2);
    const std::size_t optional = pe + 24;
    const std::uint32_t magic = Little(data + optional, 2);
    if (machine == 0x014C && magic == 0x10B) image.bitness = Bitness::X86;
    else if (machine == 0x8664 && magic == 0x20B) image.bitness = Bitness::X64;
    else return image;
    // The data directories follow the optional header's fixed part; the fifth is the
    // certificate table.
    const std::size_t directories = optional + (image.bitness == Bitness::X64 ? 112 : 96);
    constexpr std::size_t kCertificateTable = 4;
    if (directories < size && size - directories >= 8 * (kCertificateTable + 1) &&
        Little(data + directories - 4, 4) > kCertificateTable)
        image.isSigned = Little(data + directories + 8 * kCertificateTable + 4, 4) != 0;
    return image;
}

} // namespace cornice
