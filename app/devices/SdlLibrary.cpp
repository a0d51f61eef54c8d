#include "app/devices/SdlLibrary.h"

#include <dlfcn.h>

#include <type_traits>

namespace Tessarine {

namespace {

std::string loaderError() {
    const char* text = dlerror();
    return text ? text : "no reason given";
}

} // namespace

SdlLibrary::Loaded SdlLibrary::load(const std::string& file) {
    Loaded loaded;
    // Bound at once, so a function missing from an older SDL is found here and not at its first
    // call; local, so SDL's names stay out of the way of the libraries loaded after it.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        loaded.error = "the SDL library " + file + " couldn't be loaded: " + loaderError();
        return loaded;
    }
    SdlLibrary library;
    std::string missing;
    const auto find = [&](auto& pointer, const char* name) {
        if (!missing.empty()) return;
        dlerror();
        void* symbol = dlsym(handle, name);
        if (!symbol) {
            missing = "the SDL library " + file + " lacks " + name + ": " + loaderError();
            return;
        }
        // dlsym's answer for a function is the function's address.
        pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(symbol);
    };
#define TESSARINE_SDL_FIND(name) find(library.name, "SDL_" #name);
    TESSARINE_SDL_FUNCTIONS(TESSARINE_SDL_FIND)
#undef TESSARINE_SDL_FIND
    if (!missing.empty()) {
        dlclose(handle);
        loaded.error = std::move(missing);
        return loaded;
    }
    loaded.library = library;
    return loaded;
}

} // namespace Tessarine
