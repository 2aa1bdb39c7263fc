#pragma once

// Owners of Win32 and COM resources: each releases what it holds once, on every path.

#include <objbase.h>
#include <windows.h>

// COM for the duration of one operation. COM is initialised and uninitialised around each
// operation that needs it; only a successful CoInitialize is ours to balance, since a failed
// one must not undo an initialisation of the caller's.
class ComInitialization {
public:
    ComInitialization() : m_result(CoInitialize(nullptr)) {}
    ~ComInitialization()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    HRESULT m_result;
};

// One reference to a COM object.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (m_ptr)
            m_ptr->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    void** put() { return reinterpret_cast<void**>(&m_ptr); }

private:
    T* m_ptr = nullptr;
};

// A registry key opened with RegOpenKeyA; false when it could not be opened, status() then
// saying why.
class RegistryKey {
public:
    RegistryKey(HKEY root, const char* path) : m_status(RegOpenKeyA(root, path, &m_key))
    {
        if (m_status != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }
    LONG status() const { return m_status; }

private:
    HKEY m_key = nullptr;
    LONG m_status;
};

// A kernel object handle; INVALID_HANDLE_VALUE and null both mean none.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle()
    {
        if (IsValid())
            CloseHandle(m_handle);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool IsValid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// A GDI object (brush, font, bitmap) released with DeleteObject. It reads as the handle it
// holds and has the handle's size, so a class keeps one where it kept the bare handle.
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : m_object(object) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    operator T() const { return m_object; }

    // Releases the object held, if any, and holds the one given.
    void reset(T object = nullptr)
    {
        if (m_object)
            DeleteObject(m_object);
        m_object = object;
    }

private:
    T m_object = nullptr;
};
static_assert(sizeof(GdiObject<HBRUSH>) == sizeof(HBRUSH), "a holder takes a handle's place");
