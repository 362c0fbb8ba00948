#pragma once

#include <windows.h>

#include <utility>

// A library loaded at run time, freed once when the object goes. Move-only.
class Module {
public:
    Module() = default;
    explicit Module(const char* name) : module_(LoadLibraryA(name)) {}
    Module(Module&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
    Module& operator=(Module&& other) noexcept {
        if (this != &other) {
            Free();
            module_ = std::exchange(other.module_, nullptr);
        }
        return *this;
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module() { Free(); }

    HMODULE get() const { return module_; }

private:
    void Free() {
        if (module_) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }

    HMODULE module_ = nullptr;
};
