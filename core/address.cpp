#include "core/address.h"

namespace corv::core {

int32_t FileSizeOf(std::FILE* file) {
    if (file == nullptr) return -1;
    const long position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return static_cast<int32_t>(length);
}

}  // namespace corv::core
