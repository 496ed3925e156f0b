#pragma once
// Checked element access of vectors and lists. A bad index is a fatal data error: it is written to
// both logs, a close request is posted to the main window, and the caller goes on with element 0
// (vector) or one shared default element (list, or an empty vector).
#include <cstdint>
#include <iterator>
#include <list>
#include <vector>

void ReportBadIndex(const char* format, int32_t index, int32_t count, int32_t elementSize);

template <class T>
T& CheckedDefaultElement()
{
    static T element{};
    return element;
}

template <class T, class A>
T& CheckedAt(std::vector<T, A>& v, int32_t index)
{
    if (index >= 0 && static_cast<size_t>(index) < v.size()) return v[static_cast<size_t>(index)];
    ReportBadIndex("err V[%d] ( %d , %d )", index, static_cast<int32_t>(v.size()),
                   static_cast<int32_t>(sizeof(T)));
    if (!v.empty()) return v[0];
    return CheckedDefaultElement<T>();
}

template <class T, class A>
const T& CheckedAt(const std::vector<T, A>& v, int32_t index)
{
    return CheckedAt(const_cast<std::vector<T, A>&>(v), index);
}

template <class T, class A>
T& CheckedListAt(std::list<T, A>& l, int32_t index)
{
    if (index >= 0 && static_cast<size_t>(index) < l.size()) return *std::next(l.begin(), index);
    ReportBadIndex("err L[%d] ( %d , %d )", index, static_cast<int32_t>(l.size()),
                   static_cast<int32_t>(sizeof(T)));
    return CheckedDefaultElement<T>();
}

template <class T, class A>
const T& CheckedListAt(const std::list<T, A>& l, int32_t index)
{
    return CheckedListAt(const_cast<std::list<T, A>&>(l), index);
}

void FillVector(std::vector<int32_t>& v, int32_t value);
void FillVector(std::vector<char>& v, char value);
bool RemoveIntValue(std::vector<int32_t>& v, int32_t value);
