#pragma once
// The pointers of the objects that point at this one (its targeted-by list, its incoming shots).
// They describe this object's address: a copy starts with none, and nothing but the link rules of
// objects/ObjectLinks.h fills them.
#include <vector>

template <class T>
class cIncomingLinks : public std::vector<T*> {
public:
    cIncomingLinks() = default;
    cIncomingLinks(const cIncomingLinks&) : std::vector<T*>() {}
    cIncomingLinks& operator=(const cIncomingLinks&) = delete;

    bool Contains(const T* lpObject) const
    {
        for (const T* p : *this)
            if (p == lpObject) return true;
        return false;
    }
    void RemoveAll(const T* lpObject) { std::erase(*this, lpObject); }
};
