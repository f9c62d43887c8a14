#pragma once
// The running program's own resources, for the tests of the real windows.
#include <windows.h>

#include <cstdint>

// The bytes of the resource name of type type in this program, and their
// count in *size; null (and 0) when there is none.
inline const uint8_t* resourceBytes(const char* name, const char* type, int32_t* size) {
    HRSRC info = FindResourceA(nullptr, name, type);
    *size = info != nullptr ? static_cast<int32_t>(SizeofResource(nullptr, info)) : 0;
    return info != nullptr ? static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, info)))
                           : nullptr;
}
