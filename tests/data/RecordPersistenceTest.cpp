#include <gtest/gtest.h>

#include "data/FieldListRecord.h"
#include "data/RecordStream.h"
#include "tests/data/RecordTestUtil.h"

namespace {

// One int32 and one string: the smallest record with both halves of the generic body.
class cPairRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cPairRecord)
    cPairRecord() { RegisterFields(751); }
    void RegisterFields(uint32_t) override
    {
        ClearFields();
        AddInt32Field(&m_nValue);
        AddStringField(&m_strText);
    }
    int32_t m_nValue = 0;
    std::string m_strText;
};

class cChildRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cChildRecord)
    cChildRecord() { RegisterFields(751); }
    void RegisterFields(uint32_t) override { RegisterOneInt(&m_nValue); }
    int32_t m_nValue = 7;
};

// Every member kind, one member added at version 200, and a record vector and values as extras.
class cMixedRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cMixedRecord)
    cMixedRecord() { RegisterFields(751); }
    void RegisterFields(uint32_t nVersion) override
    {
        ClearFields();
        AddInt8Field(&m_nByte);
        AddInt16Field(m_nShorts, 3);
        if (nVersion >= 200) AddInt32Field(&m_nLate);
        AddDoubleField(&m_dValue);
        AddStringField(&m_strFirst);
        if (nVersion >= 200) AddStringField(&m_strLate);
    }
    bool Load(FILE* fp) override
    {
        return cFieldListRecord::Load(fp) && LoadRecordVector(fp, m_vChildren, cChildRecord()) &&
               LoadIntVector(fp, m_vValues);
    }
    bool Save(FILE* fp) override
    {
        return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vChildren) && SaveIntVector(fp, m_vValues);
    }
    int8_t m_nByte = 0;
    int16_t m_nShorts[3] = {};
    int32_t m_nLate = 0;
    double m_dValue = 0;
    std::string m_strFirst;
    std::string m_strLate;
    std::vector<cChildRecord> m_vChildren;
    std::vector<int32_t> m_vValues;
};

class cEmptyRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEmptyRecord)
    void RegisterFields(uint32_t) override { ClearFields(); }
};

Bytes MixedBody(uint32_t nVersion)
{
    Bytes b;
    AppendU32(b, nVersion >= 200 ? 4 : 3);
    AppendU8(b, 0xFE);
    AppendU16(b, 1);
    AppendU16(b, 0x8000);
    AppendU16(b, 3);
    if (nVersion >= 200) AppendU32(b, 0x12345678);
    AppendDouble(b, -2.5);
    AppendU32(b, nVersion >= 200 ? 2 : 1);
    AppendString(b, "first");
    if (nVersion >= 200) AppendString(b, "late");
    AppendU32(b, 2);   // children
    AppendU32(b, 1);
    AppendU32(b, 11);
    AppendU32(b, 0);
    AppendU32(b, 1);
    AppendU32(b, 12);
    AppendU32(b, 0);
    AppendU32(b, 2);   // values
    AppendU32(b, 0xFFFFFFFF);
    AppendU32(b, 9);
    return b;
}

class RecordFileTest : public ScratchFolderTest {};

}  // namespace

TEST(RecordPersistenceTest, StoresTheDocumentedExampleByteForByte)
{
    cPairRecord record;
    record.m_nValue = 5;
    record.m_strText = "abc";
    const Bytes expected = {0x01, 0, 0, 0, 0x05, 0, 0, 0, 0x01, 0, 0, 0, 0x04, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_EQ(SaveBody(record), expected);

    cPairRecord loaded;
    ASSERT_TRUE(LoadBody(loaded, expected));
    EXPECT_EQ(loaded.m_nValue, 5);
    EXPECT_EQ(loaded.m_strText, "abc");
}

TEST(RecordPersistenceTest, EmptyStringIsLengthOneAndNothingElse)
{
    cPairRecord record;
    record.m_nValue = -1;
    const Bytes expected = {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0x01, 0, 0, 0};
    EXPECT_EQ(SaveBody(record), expected);

    cPairRecord loaded;
    loaded.m_strText = "old";
    ASSERT_TRUE(LoadBody(loaded, expected));
    EXPECT_EQ(loaded.m_strText, "");
}

TEST(RecordPersistenceTest, RecordWithoutMembersWritesTwoZeroCounts)
{
    cEmptyRecord record;
    EXPECT_EQ(SaveBody(record), Bytes(8, 0));
}

TEST(RecordPersistenceTest, StringsLoseTheirCarriageReturns)
{
    Bytes body;
    AppendU32(body, 1);
    AppendU32(body, 3);
    AppendU32(body, 1);
    AppendString(body, "a\r\nb\r\r");
    cPairRecord loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_strText, "a\nb");
}

TEST(RecordPersistenceTest, StringIsWrittenUpToAnEmbeddedNulAndTheMemberIsCut)
{
    cPairRecord record;
    record.m_strText = std::string("ab\0cd", 5);
    Bytes expected;
    AppendU32(expected, 1);
    AppendU32(expected, 0);
    AppendU32(expected, 1);
    AppendString(expected, "ab");
    EXPECT_EQ(SaveBody(record), expected);
    EXPECT_EQ(record.m_strText, "ab");
}

TEST(RecordPersistenceTest, StoredStringWithoutNulKeepsAllItsBytes)
{
    Bytes body;
    AppendU32(body, 1);
    AppendU32(body, 0);
    AppendU32(body, 1);
    AppendU32(body, 3);
    body.insert(body.end(), {'x', 'y', 'z'});
    cPairRecord loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_strText, "xyz");
}

TEST(RecordPersistenceTest, EveryMemberKindRoundTripsInRegistrationOrder)
{
    cMixedRecord record;
    record.m_nByte = -2;
    record.m_nShorts[0] = 1;
    record.m_nShorts[1] = -32768;
    record.m_nShorts[2] = 3;
    record.m_nLate = 0x12345678;
    record.m_dValue = -2.5;
    record.m_strFirst = "first";
    record.m_strLate = "late";
    record.m_vChildren.resize(2);
    record.m_vChildren[0].m_nValue = 11;
    record.m_vChildren[1].m_nValue = 12;
    record.m_vValues = {-1, 9};
    EXPECT_EQ(SaveBody(record), MixedBody(751));

    cMixedRecord loaded;
    ASSERT_TRUE(LoadBody(loaded, MixedBody(751)));
    EXPECT_EQ(SaveBody(loaded), MixedBody(751));
}

TEST(RecordPersistenceTest, MembersNewerThanTheFileKeepTheirValues)
{
    cMixedRecord loaded;
    loaded.m_nLate = 99;
    loaded.m_strLate = "kept";
    ASSERT_TRUE(LoadBody(loaded, MixedBody(199), 199));
    EXPECT_EQ(loaded.m_nLate, 99);
    EXPECT_EQ(loaded.m_strLate, "kept");
    EXPECT_EQ(loaded.m_nShorts[2], 3);
    EXPECT_EQ(loaded.m_dValue, -2.5);
    EXPECT_EQ(loaded.m_strFirst, "first");
    // The lists are registered for the current version again after the load.
    EXPECT_EQ(loaded.Fields().size(), 4u);
    EXPECT_EQ(loaded.Strings().size(), 2u);

    ASSERT_TRUE(LoadBody(loaded, MixedBody(200), 200));
    EXPECT_EQ(loaded.m_nLate, 0x12345678);
    EXPECT_EQ(loaded.m_strLate, "late");
}

TEST(RecordPersistenceTest, FewerBlocksThanListedLeaveTheRestAlone)
{
    Bytes body;
    AppendU32(body, 0);
    AppendU32(body, 0);
    cPairRecord loaded;
    loaded.m_nValue = 4;
    loaded.m_strText = "x";
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_nValue, 4);
    EXPECT_EQ(loaded.m_strText, "x");
}

TEST(RecordPersistenceTest, VectorStoredWithCountZeroLoadsEmpty)
{
    Bytes body;
    AppendU32(body, 0);
    AppendU32(body, 0);
    AppendU32(body, 0);
    AppendU32(body, 0);
    cMixedRecord loaded;
    loaded.m_vChildren.resize(3);
    loaded.m_vValues = {1, 2};
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_TRUE(loaded.m_vChildren.empty());
    EXPECT_TRUE(loaded.m_vValues.empty());
}

TEST(RecordPersistenceTest, MalformedBodiesFailToLoad)
{
    struct Case {
        const char* name;
        Bytes body;
    };
    auto body = [](std::initializer_list<uint32_t> words) {
        Bytes b;
        for (uint32_t w : words) AppendU32(b, w);
        return b;
    };
    const std::vector<Case> cases = {
        {"no field count", {}},
        {"more field blocks than listed", body({2, 5, 6, 0})},
        {"field block cut short", {1, 0, 0, 0, 5, 0}},
        {"no string count", body({1, 5})},
        {"more strings than listed", body({1, 5, 2, 1, 1})},
        {"string length zero", body({1, 5, 1, 0})},
        {"string length beyond the file", body({1, 5, 1, 0x7FFFFFFF})},
        {"string text cut short", {1, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'a', 'b'}},
    };
    for (const Case& c : cases) {
        cPairRecord loaded;
        EXPECT_FALSE(LoadBody(loaded, c.body)) << c.name;
    }
}

TEST(RecordPersistenceTest, LoadFromStreamKeepsTheRecordWhenTheBodyIsShort)
{
    cMixedRecord source;
    source.m_strFirst = "new";
    source.m_vValues = {1, 2, 3};
    Bytes body = SaveBody(source);
    body.pop_back();
    FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    std::fwrite(body.data(), 1, body.size(), fp);
    std::rewind(fp);
    g_nFileVersion = 751;
    cMixedRecord target;
    target.m_strFirst = "old";
    EXPECT_FALSE(target.LoadFromStream(fp));
    EXPECT_EQ(target.m_strFirst, "old");
    EXPECT_TRUE(target.m_vValues.empty());
    std::fclose(fp);
}

TEST(RecordPersistenceTest, HugeCountsFailWithoutAllocating)
{
    Bytes b;
    AppendU32(b, 0);
    AppendU32(b, 0);
    AppendU32(b, 0xFFFFFFFF);   // children
    cMixedRecord loaded;
    EXPECT_FALSE(LoadBody(loaded, b));

    Bytes values;
    AppendU32(values, 0);
    AppendU32(values, 0);
    AppendU32(values, 0);
    AppendU32(values, 0x40000000);   // int32 values
    EXPECT_FALSE(LoadBody(loaded, values));
}

TEST(RecordPersistenceTest, ResetAndCopyFieldsCoverEveryListedMember)
{
    cMixedRecord source;
    ASSERT_TRUE(LoadBody(source, MixedBody(751)));
    cMixedRecord target;
    target.CopyFields(source);
    EXPECT_EQ(target.m_nByte, -2);
    EXPECT_EQ(target.m_nShorts[1], -32768);
    EXPECT_EQ(target.m_nLate, 0x12345678);
    EXPECT_EQ(target.m_dValue, -2.5);
    EXPECT_EQ(target.m_strLate, "late");
    EXPECT_TRUE(target.m_vChildren.empty());   // extras are not fields

    target.ResetFields();
    EXPECT_EQ(target.m_nByte, 0);
    EXPECT_EQ(target.m_nShorts[1], 0);
    EXPECT_EQ(target.m_nLate, 0);
    EXPECT_EQ(target.m_dValue, 0.0);
    EXPECT_EQ(target.m_strFirst, "");
}

TEST(RecordPersistenceTest, CopiedRecordListsPointIntoTheCopy)
{
    cMixedRecord source;
    source.m_strFirst = "s";
    cMixedRecord copy(source);
    copy = source;
    ASSERT_EQ(copy.Fields().size(), 4u);
    for (const FieldDescriptor& field : copy.Fields()) {
        EXPECT_EQ(field.m_lpOwner, &copy);
        const char* p = static_cast<const char*>(field.m_lpAddress);
        EXPECT_TRUE(p >= reinterpret_cast<const char*>(&copy) &&
                    p < reinterpret_cast<const char*>(&copy) + sizeof copy);
    }
    EXPECT_EQ(copy.Strings()[0].m_lpString, &copy.m_strFirst);
}

TEST_F(RecordFileTest, SaveToFileWritesVersionAndBodyAndLoadsBack)
{
    cPairRecord record;
    record.m_nValue = 5;
    record.m_strText = "abc";
    ASSERT_EQ(record.SaveToFile("rec.dat"), 1);
    const Bytes expected = {0xEF, 0x02, 0, 0, 0x01, 0, 0, 0, 0x05, 0, 0, 0, 0x01, 0,   0,   0,
                            0x04, 0,    0, 0, 'a',  'b', 'c', 0};
    EXPECT_EQ(ReadWholeFile("rec.dat"), expected);
    EXPECT_FALSE(std::filesystem::exists("rec.dat.tmp"));

    cPairRecord loaded;
    ASSERT_EQ(loaded.LoadFromFile("rec.dat"), 1);
    EXPECT_EQ(loaded.m_nValue, 5);
    EXPECT_EQ(loaded.m_strText, "abc");
    EXPECT_EQ(g_nFileVersion, 751u);
}

TEST_F(RecordFileTest, OldFileSetsTheFileVersionAndKeepsNewerMembers)
{
    Bytes file;
    AppendU32(file, 199);
    const Bytes body = MixedBody(199);
    file.insert(file.end(), body.begin(), body.end());
    WriteWholeFile("old.dat", file);

    cMixedRecord loaded;
    loaded.m_nLate = 42;
    ASSERT_EQ(loaded.LoadFromFile("old.dat"), 1);
    EXPECT_EQ(g_nFileVersion, 199u);
    EXPECT_EQ(loaded.m_nLate, 42);
    EXPECT_EQ(loaded.m_strFirst, "first");
    EXPECT_EQ(loaded.Fields().size(), 4u);
}

TEST_F(RecordFileTest, EmptyPathTriesErrAndMissingFileLeavesRecord)
{
    cPairRecord record;
    record.m_nValue = 3;
    EXPECT_EQ(record.LoadFromFile(""), 0);
    EXPECT_EQ(record.LoadFromFile(nullptr), 0);
    EXPECT_EQ(record.LoadFromFile("missing.dat"), 0);
    EXPECT_EQ(record.m_nValue, 3);

    cPairRecord stored;
    stored.m_nValue = 8;
    ASSERT_EQ(stored.SaveToFile("err"), 1);
    EXPECT_EQ(record.LoadFromFile(""), 1);
    EXPECT_EQ(record.m_nValue, 8);
}

TEST_F(RecordFileTest, FileCutAnywhereFailsAndLeavesTheRecordAsItWas)
{
    cMixedRecord source;
    source.m_nByte = 1;
    source.m_strFirst = "first";
    source.m_vChildren.resize(2);
    source.m_vValues = {4, 5};
    ASSERT_EQ(source.SaveToFile("full.dat"), 1);
    const Bytes full = ReadWholeFile("full.dat");

    for (size_t nKeep = 0; nKeep < full.size(); ++nKeep) {
        WriteWholeFile("cut.dat", Bytes(full.begin(), full.begin() + static_cast<long>(nKeep)));
        cMixedRecord loaded;
        loaded.m_nByte = 9;
        loaded.m_strFirst = "before";
        loaded.m_vValues = {1};
        EXPECT_EQ(loaded.LoadFromFile("cut.dat"), 0) << nKeep;
        EXPECT_EQ(loaded.m_nByte, 9) << nKeep;
        EXPECT_EQ(loaded.m_strFirst, "before") << nKeep;
        EXPECT_EQ(loaded.m_vValues, std::vector<int32_t>{1}) << nKeep;
    }
}

TEST_F(RecordFileTest, FailedSaveKeepsTheOldFile)
{
    cPairRecord record;
    record.m_nValue = 1;
    ASSERT_EQ(record.SaveToFile("keep.dat"), 1);
    const Bytes before = ReadWholeFile("keep.dat");
    // A folder in the way of the temporary file makes the save fail before anything is replaced.
    std::filesystem::create_directory("keep.dat.tmp");
    record.m_nValue = 2;
    EXPECT_EQ(record.SaveToFile("keep.dat"), 0);
    EXPECT_EQ(ReadWholeFile("keep.dat"), before);
}
