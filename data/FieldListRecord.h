#pragma once
// The base of every persistent record. A record lists its scalar and string members for a format
// version (RegisterFields); one generic reader and writer move the listed bytes between the members
// and a record file. A record file is a u32 format version followed by one record body.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// The current format version (751), written at the head of every record file.
extern uint32_t g_nDataVersion;
// The version at the head of the record file being read; set only by OpenRecordFileForRead.
// Record files are read one at a time, so one value serves the whole program.
extern uint32_t g_nFileVersion;
// Non-zero: strings read from record files lose their CR bytes.
extern int32_t g_bStripCR;

constexpr uint32_t kCurrentDataVersion = 751;

class cFieldListRecord;

struct FieldDescriptor {
    cFieldListRecord* m_lpOwner;   // the record whose member m_lpAddress points into
    void* m_lpAddress;             // the member's first element
    int32_t m_nCount;              // elements (above 1 for a fixed array)
    uint8_t m_nSize;               // bytes per element: 1, 2, 4 or 8
};

struct StringFieldDescriptor {
    cFieldListRecord* m_lpOwner;
    std::string* m_lpString;
};

class cFieldListRecord {
public:
    cFieldListRecord() = default;
    // A copy never takes the source's lists: they point into the source. Every operation
    // registers the lists it needs first.
    cFieldListRecord(const cFieldListRecord&) noexcept {}
    cFieldListRecord& operator=(const cFieldListRecord& source);
    virtual ~cFieldListRecord() = default;

    virtual void PrepareCopy(uint32_t nVersion);
    virtual void RegisterFields(uint32_t nVersion);
    // Reads one record body. False when the file is short or malformed; the caller then drops
    // what was read (LoadFromFile loads into a copy and keeps the record as it was).
    virtual bool Load(FILE* fp);
    // Writes one record body. False when a write failed.
    virtual bool Save(FILE* fp);

    // A copy of this record of its own class, and assignment from one; LoadFromFile loads into
    // the copy and assigns it back only when the whole file was read.
    virtual std::unique_ptr<cFieldListRecord> CloneRecord() const = 0;
    virtual void AssignRecord(const cFieldListRecord& source) = 0;

    void ResetFields();
    void CopyFields(cFieldListRecord& source);
    bool LoadRecordFields(FILE* fp);
    bool LoadStrings(FILE* fp);
    bool SaveRecordFields(FILE* fp);
    bool SaveStrings(FILE* fp);
    void StripCR();
    // Load of one body from an open stream into a copy, taken over only when the whole body was
    // read: for readers that take a record out of a larger file (a replay's stage).
    bool LoadFromStream(FILE* fp);
    int LoadFromFile(const char* path);
    int LoadFromFile(const std::string& path) { return LoadFromFile(path.c_str()); }
    int SaveToFile(const char* path);
    int SaveToFile(const std::string& path) { return SaveToFile(path.c_str()); }

    void NoOpHook() {}
    bool LoadThenNoOp(FILE* fp);
    bool SaveAfterNoOp(FILE* fp);

    const std::vector<FieldDescriptor>& Fields() const { return m_vFields; }
    const std::vector<StringFieldDescriptor>& Strings() const { return m_vStrings; }

protected:
    void ClearFields();
    // Room for a known number of fields, for records made by the ten thousand (a stage's blocks).
    void ReserveFields(size_t nFields) { m_vFields.reserve(nFields); }
    template <class T>
    void AddInt32Field(T* lpMember, int32_t nCount = 1)
    {
        static_assert(sizeof(T) == 4 && (std::is_integral_v<T> || std::is_enum_v<T>));
        AddField(lpMember, nCount, 4);
    }
    template <class T>
    void AddInt16Field(T* lpMember, int32_t nCount = 1)
    {
        static_assert(sizeof(T) == 2 && std::is_integral_v<T>);
        AddField(lpMember, nCount, 2);
    }
    template <class T>
    void AddInt8Field(T* lpMember, int32_t nCount = 1)
    {
        static_assert(sizeof(T) == 1 && std::is_integral_v<T>);
        AddField(lpMember, nCount, 1);
    }
    void AddDoubleField(double* lpMember, int32_t nCount = 1) { AddField(lpMember, nCount, 8); }
    void AddStringField(std::string* lpMember, int32_t nCount = 1);
    // The two shared bodies of RegisterFields: one or two int32 members.
    void RegisterOneInt(int32_t* lpMember);
    void RegisterTwoInts(int32_t* lpFirst, int32_t* lpSecond);

private:
    void AddField(void* lpMember, int32_t nCount, uint8_t nSize);

    std::vector<FieldDescriptor> m_vFields;
    std::vector<StringFieldDescriptor> m_vStrings;
};

// CloneRecord and AssignRecord for a record class; place in the public part of the class.
#define FIELD_LIST_RECORD_CLONE(Class)                                                   \
    std::unique_ptr<cFieldListRecord> CloneRecord() const override                      \
    {                                                                                     \
        return std::make_unique<Class>(*this);                                            \
    }                                                                                     \
    void AssignRecord(const cFieldListRecord& source) override                            \
    {                                                                                     \
        if (const Class* lpSource = dynamic_cast<const Class*>(&source)) *this = *lpSource; \
    }

// Record files.
FILE* OpenRecordFileForRead(const char* path);
FILE* OpenRecordFileForWrite(const char* path);
bool CloseRecordFile(FILE* fp);
