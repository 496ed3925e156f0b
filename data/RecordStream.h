#pragma once
// Reading and writing the parts of a record body that the field lists cannot hold: counts, vectors
// of int32 values or bytes, and vectors of records. Every count read from a file is bounded by the
// bytes left in it before anything is allocated for it.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "data/FieldListRecord.h"

// Smallest record body: the field count and the string count.
constexpr uint32_t kMinRecordBodyBytes = 8;

// Writes one line naming what could not be read and where, to the report and trace logs.
void ReportRecordReadError(FILE* fp, const char* what);

bool ReadRecordBytes(FILE* fp, void* lpBuffer, size_t nBytes);
bool ReadU32(FILE* fp, uint32_t& nValue);
bool WriteRecordBytes(FILE* fp, const void* lpBuffer, size_t nBytes);
bool WriteU32(FILE* fp, uint32_t nValue);

// True when nCount items of at least nMinBytes each can still be in the file.
bool RecordCountFits(FILE* fp, uint32_t nCount, uint32_t nMinBytes);

// A load on a worker thread that can be told to stop names, for its own thread, the test of its
// stop request. The loops of a load ask it before every element, so a stop is seen at once even
// where nothing is read for a long while (lists of many elements, inherited definitions copied
// into placements); a stopped load fails without a report of its own. Null: no test.
using RecordStopTest = bool (*)(void* lpContext);
void SetRecordStopTest(RecordStopTest lpfnTest, void* lpContext);
bool RecordLoadStopped();

// u32 count, then the elements' raw bytes.
bool LoadIntVector(FILE* fp, std::vector<int32_t>& v);
bool SaveIntVector(FILE* fp, const std::vector<int32_t>& v);
bool LoadByteVector(FILE* fp, std::vector<int8_t>& v);
bool SaveByteVector(FILE* fp, const std::vector<int8_t>& v);

// u32 count, then count record bodies. The vector is emptied and refilled with copies of the
// prototype, each loaded in turn; members that the file's version lacks keep the prototype's
// values. On failure the vector holds what was read so far (the caller drops the whole record).
// makePrototype is called only when the file holds elements: most lists in a stage are empty,
// and a record's prototype costs more to build than reading an empty list.
template <class T, class MakePrototype>
bool LoadRecordVectorWith(FILE* fp, std::vector<T>& v, MakePrototype makePrototype)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount)) {
        ReportRecordReadError(fp, "record count");
        return false;
    }
    if (!RecordCountFits(fp, nCount, kMinRecordBodyBytes)) {
        ReportRecordReadError(fp, "record count larger than the file");
        return false;
    }
    // Elements are added as they load, so a count that the file cannot back never costs more
    // memory than the elements actually read.
    v.clear();
    if (nCount == 0) return true;
    decltype(auto) prototype = makePrototype();
    v.reserve(nCount < 1024 ? nCount : 1024);
    for (uint32_t i = 0; i < nCount; ++i) {
        if (RecordLoadStopped()) return false;
        v.emplace_back(prototype);
        if (!v.back().Load(fp)) return false;
    }
    return true;
}

template <class T>
bool LoadRecordVector(FILE* fp, std::vector<T>& v, const T& prototype)
{
    return LoadRecordVectorWith(fp, v, [&prototype]() -> const T& { return prototype; });
}

template <class T>
bool SaveRecordVector(FILE* fp, std::vector<T>& v)
{
    if (!WriteU32(fp, static_cast<uint32_t>(v.size()))) return false;
    for (T& element : v) {
        if (!element.Save(fp)) return false;
    }
    return true;
}

// target := source element by element: the target grows with copies of the default element and
// shrinks from the source's length on, then each element is assigned with its class's assignment.
// makeDefault is called only when the target must grow.
template <class T, class MakeDefault>
void CopyRecordVectorWith(std::vector<T>& target, const std::vector<T>& source, MakeDefault makeDefault)
{
    if (&target == &source) return;
    if (target.size() < source.size()) target.resize(source.size(), makeDefault());
    else target.erase(target.begin() + static_cast<std::ptrdiff_t>(source.size()), target.end());
    for (size_t i = 0; i < source.size(); ++i) target[i] = source[i];
}

template <class T>
void CopyRecordVector(std::vector<T>& target, const std::vector<T>& source, const T& defaultElement)
{
    CopyRecordVectorWith(target, source, [&defaultElement]() -> const T& { return defaultElement; });
}
