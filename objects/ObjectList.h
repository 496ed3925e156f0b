#pragma once
// The stage's object lists. cStageList holds objects by value in insertion order at addresses that
// never move, so other objects may point at them; cLinkList holds non-owning pointers to objects
// stored elsewhere (the per-faction lists).
//
// Removing never frees at once: a removed object is marked gone (its pointer entry nulled) and every
// walk skips it; Sweep frees the storage and runs only where no walk can be in progress (the start
// of a play-step frame and stage set-up). A walk therefore survives the removal of any entry, the
// one it stands on included, and also visits entries appended while it runs, in insertion order.
#include <cstdint>
#include <iterator>
#include <list>

// T is a game object with an int32_t m_bGone member.
template <class T>
class cStageList {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;

        iterator() = default;
        iterator(typename std::list<T>::iterator it, typename std::list<T>::iterator end)
            : m_It(it), m_End(end)
        {
            SkipGone();
        }
        T& operator*() const { return *m_It; }
        T* operator->() const { return &*m_It; }
        iterator& operator++()
        {
            ++m_It;
            SkipGone();
            return *this;
        }
        iterator operator++(int)
        {
            iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const iterator& other) const { return m_It == other.m_It; }
        bool operator!=(const iterator& other) const { return m_It != other.m_It; }

    private:
        friend class cStageList;
        void SkipGone()
        {
            while (m_It != m_End && m_It->m_bGone != 0) ++m_It;
        }
        typename std::list<T>::iterator m_It{};
        typename std::list<T>::iterator m_End{};
    };

    cStageList() = default;
    cStageList(const cStageList&) = delete;
    cStageList& operator=(const cStageList&) = delete;

    iterator begin() { return iterator(m_List.begin(), m_List.end()); }
    iterator end() { return iterator(m_List.end(), m_List.end()); }

    // A copy of the object at the end; the stored element, whose address stays valid until a Sweep
    // after its removal.
    T& Append(const T& object)
    {
        m_List.push_back(object);
        m_List.back().m_bGone = 0;
        ++m_nCount;
        return m_List.back();
    }

    // A default-constructed object at the end, for objects that are set up where they are stored.
    T& AppendNew()
    {
        m_List.emplace_back();
        m_List.back().m_bGone = 0;
        ++m_nCount;
        return m_List.back();
    }

    // Marks the object gone; the caller has unlinked it. The next live position is returned.
    iterator Remove(iterator position)
    {
        if (position.m_It != m_List.end()) MarkGone(*position.m_It);
        return ++position;
    }
    // Only an element of this list is marked: a carried item or a hero handed here by mistake
    // leaves the counts as they are.
    void Remove(T& object)
    {
        for (T& stored : m_List)
            if (&stored == &object) {
                MarkGone(stored);
                return;
            }
    }

    // Live objects.
    int32_t Count() const { return m_nCount; }
    bool Empty() const { return m_nCount == 0; }
    // Whether the object is a live element of this list.
    bool Holds(const T* lpObject) const
    {
        for (const T& object : m_List)
            if (&object == lpObject) return object.m_bGone == 0;
        return false;
    }

    // Frees the storage of removed objects. Never call it while a walk of this list may be running.
    void Sweep()
    {
        if (m_nGone == 0) return;
        m_List.remove_if([](const T& object) { return object.m_bGone != 0; });
        m_nGone = 0;
    }
    // Frees everything; the caller has dropped every link to and from the objects.
    void Clear()
    {
        m_List.clear();
        m_nCount = 0;
        m_nGone = 0;
    }
    // Stored elements including removed ones not yet swept (for tests and teardown).
    size_t StoredCount() const { return m_List.size(); }

private:
    void MarkGone(T& object)
    {
        if (object.m_bGone != 0) return;
        object.m_bGone = 1;
        --m_nCount;
        ++m_nGone;
    }

    std::list<T> m_List;
    int32_t m_nCount = 0;
    int32_t m_nGone = 0;
};

// Non-owning pointers in insertion order (front insertion allowed). Remove nulls the entries; walks
// skip null entries; Sweep erases them.
template <class T>
class cLinkList {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T**;
        using reference = T*;

        iterator() = default;
        iterator(typename std::list<T*>::iterator it, typename std::list<T*>::iterator end)
            : m_It(it), m_End(end)
        {
            SkipNull();
        }
        T* operator*() const { return *m_It; }
        iterator& operator++()
        {
            ++m_It;
            SkipNull();
            return *this;
        }
        iterator operator++(int)
        {
            iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const iterator& other) const { return m_It == other.m_It; }
        bool operator!=(const iterator& other) const { return m_It != other.m_It; }

    private:
        void SkipNull()
        {
            while (m_It != m_End && *m_It == nullptr) ++m_It;
        }
        typename std::list<T*>::iterator m_It{};
        typename std::list<T*>::iterator m_End{};
    };

    iterator begin() { return iterator(m_List.begin(), m_List.end()); }
    iterator end() { return iterator(m_List.end(), m_List.end()); }

    void PushBack(T* lpObject) { m_List.push_back(lpObject); }
    void PushFront(T* lpObject) { m_List.push_front(lpObject); }
    bool Contains(const T* lpObject) const
    {
        for (const T* p : m_List)
            if (p == lpObject && p != nullptr) return true;
        return false;
    }
    // Nulls every entry of the object; a walk standing on one of them goes on safely.
    void Remove(const T* lpObject)
    {
        for (T*& p : m_List)
            if (p == lpObject) p = nullptr;
    }
    int32_t Count() const
    {
        int32_t n = 0;
        for (const T* p : m_List)
            if (p != nullptr) ++n;
        return n;
    }
    bool Empty() const { return Count() == 0; }
    void Sweep() { m_List.remove(nullptr); }
    void Clear() { m_List.clear(); }

private:
    std::list<T*> m_List;
};
