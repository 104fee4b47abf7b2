#pragma once

#include <cstdint>
#include <utility>

// Base of every object shared through counted handles (sources and sinks).
// The 16-bit count is not atomic: a chain is built on one thread and handed
// to a worker before that worker starts, and released after it has ended.
class LCounted {
public:
    LCounted() = default;
    LCounted(const LCounted&) = delete;
    LCounted& operator=(const LCounted&) = delete;
    virtual ~LCounted() = default;

    void AddRef() { ++wRefCount; }
    void Release()
    {
        if (--wRefCount == 0)
            delete this;
    }
    uint16_t GetRefCount() const { return wRefCount; }

private:
    uint16_t wRefCount = 0;
};

// A counted handle. Copying adds a reference, destruction releases one, and
// assignment adds to the new object before releasing the old one. A handle
// made from a fresh object holds that object's first reference.
template <class T> class LHandle {
public:
    LHandle() = default;
    explicit LHandle(T* p)
        : pObj(p)
    {
        if (pObj)
            pObj->AddRef();
    }
    LHandle(const LHandle& o)
        : LHandle(o.pObj)
    {
    }
    LHandle(LHandle&& o) noexcept
        : pObj(std::exchange(o.pObj, nullptr))
    {
    }
    template <class U>
    LHandle(const LHandle<U>& o)
        : LHandle(o.Get())
    {
    }
    ~LHandle() { Reset(); }

    LHandle& operator=(const LHandle& o)
    {
        if (o.pObj)
            o.pObj->AddRef();
        T* pOld = std::exchange(pObj, o.pObj);
        if (pOld)
            pOld->Release();
        return *this;
    }
    LHandle& operator=(LHandle&& o) noexcept
    {
        if (this != &o) {
            T* pOld = std::exchange(pObj, std::exchange(o.pObj, nullptr));
            if (pOld)
                pOld->Release();
        }
        return *this;
    }

    void Reset()
    {
        if (T* p = std::exchange(pObj, nullptr))
            p->Release();
    }

    T* Get() const { return pObj; }
    T* operator->() const { return pObj; }
    T& operator*() const { return *pObj; }
    explicit operator bool() const { return pObj != nullptr; }

private:
    T* pObj = nullptr;
};

// Makes a new object and returns the handle that holds its first reference.
template <class T, class... Args> LHandle<T> MakeHandle(Args&&... args)
{
    return LHandle<T>(new T(std::forward<Args>(args)...));
}
