#include "engine/whole_file.h"

#include <cstdio>
#include <cstdlib>

void* load_whole_file(const char* path, uint32_t* size) {
    if (size) *size = 0;
    if (!path) return nullptr;
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    void* data = nullptr;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length >= 0 && length <= 0x7FFFFFFF && std::fseek(f, 0, SEEK_SET) == 0) {
        data = std::malloc(length > 0 ? static_cast<size_t>(length) : 1);
        if (data &&
            std::fread(data, 1, static_cast<size_t>(length), f) != static_cast<size_t>(length)) {
            std::free(data);
            data = nullptr;
        }
    }
    std::fclose(f);
    if (data && size) *size = static_cast<uint32_t>(length);
    return data;
}
