// Whether a Windows test program runs under Wine or on Windows itself, told
// at run time: only Wine's ntdll exports wine_get_version. What only Wine
// shows (the program adding its own "MS Serif", Wine's stand-in faces, windows
// placed with no window manager) is expected under Wine only. Every program
// that includes this says at its start which of the two it runs on.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace host_system {

template <typename Function>
Function NtdllExport(const char* name) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC found = ntdll ? GetProcAddress(ntdll, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// Wine's version ("8.0"), or nullptr on Windows.
inline const char* WineVersion() {
    const auto wineVersion = NtdllExport<const char*(CDECL*)()>("wine_get_version");
    return wineVersion ? wineVersion() : nullptr;
}

inline bool UnderWine() {
    return WineVersion() != nullptr;
}

class Announcement : public testing::Environment {
    void SetUp() override {
        if (const char* wine = WineVersion()) {
            std::printf("[   INFO   ] under Wine %s\n", wine);
            return;
        }
        // The true version, which GetVersionEx hides from a program without a manifest.
        RTL_OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        const auto rtlGetVersion = NtdllExport<LONG(WINAPI*)(RTL_OSVERSIONINFOW*)>("RtlGetVersion");
        if (rtlGetVersion) rtlGetVersion(&version);
        std::printf("[   INFO   ] on Windows %lu.%lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion,
                    version.dwBuildNumber);
    }
};

inline testing::Environment* const kAnnouncement = testing::AddGlobalTestEnvironment(new Announcement);

}  // namespace host_system
