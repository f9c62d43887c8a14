#pragma once
// Scoped owners of GDI objects and device contexts: each releases what it
// holds once, when it is replaced or goes, so that no path leaks one or
// releases one twice. The only place the program deletes or releases them.
#include <windows.h>

#include <utility>

// A GDI object (bitmap, font, brush, region), deleted with DeleteObject. It
// must not be selected into a live context by then.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without deleting it.
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// A memory context (CreateCompatibleDC), deleted with DeleteDC once the object
// it started with is selected back, so that what select() put in is free to
// delete afterwards.
class MemoryDc {
public:
    MemoryDc() = default;
    // Null (false) when the system could not make it.
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() { reset(); }
    MemoryDc(MemoryDc&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), first_(std::exchange(other.first_, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& other) noexcept {
        reset();
        dc_ = std::exchange(other.dc_, nullptr);
        first_ = std::exchange(other.first_, nullptr);
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // SelectObject, remembering what the first selection took out.
    void select(HGDIOBJ object) {
        HGDIOBJ previous = SelectObject(dc_, object);
        if (first_ == nullptr) {
            first_ = previous;
        }
    }
    void reset() {
        if (dc_ != nullptr) {
            if (first_ != nullptr) {
                SelectObject(dc_, first_);
            }
            DeleteDC(dc_);
        }
        dc_ = nullptr;
        first_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ first_ = nullptr;
};

// A window's context (GetDC; null for the screen's), released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
