// libFuzzer target for record bodies: the first input byte picks the record class, the next four
// give the file version, the rest is the body. A load must never crash or read out of bounds;
// a record that loads must save, load again and save to the same bytes.
//
// Built with clang, outside the normal build: fuzz/build.sh
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "data/EdCommand.h"
#include "data/EdFlow.h"

namespace {

std::unique_ptr<cFieldListRecord> NewRecord(uint8_t nClass)
{
    switch (nClass % 6) {
    case 0: return std::make_unique<cEdFlow>(cEdFlow::Default());
    case 1: return std::make_unique<cEdCommand>(cEdCommand::Default());
    case 2: return std::make_unique<cEdCondition>(cEdCondition::Default());
    case 3: return std::make_unique<cEdKeyList>(cEdKeyList::Default());
    case 4: return std::make_unique<cEdMove>();
    default: return std::make_unique<cEdShot>();
    }
}

bool LoadFrom(cFieldListRecord& record, const uint8_t* data, size_t size, uint32_t nVersion)
{
    FILE* fp = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : fmemopen(nullptr, 1, "w+b");
    if (!fp) return false;
    g_nFileVersion = nVersion;
    const bool bOk = record.Load(fp);
    std::fclose(fp);
    return bOk;
}

std::vector<uint8_t> SaveOf(cFieldListRecord& record)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* fp = open_memstream(&buffer, &size);
    if (!fp) std::abort();
    if (!record.Save(fp)) std::abort();
    std::fclose(fp);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    uint32_t nVersion;
    std::memcpy(&nVersion, data + 1, 4);
    nVersion %= 800;   // the versions that change layouts lie below this
    std::unique_ptr<cFieldListRecord> record = NewRecord(data[0]);
    if (!LoadFrom(*record, data + 5, size - 5, nVersion)) return 0;

    const std::vector<uint8_t> first = SaveOf(*record);
    std::unique_ptr<cFieldListRecord> again = NewRecord(data[0]);
    if (!LoadFrom(*again, first.data(), first.size(), kCurrentDataVersion)) std::abort();
    if (SaveOf(*again) != first) std::abort();
    return 0;
}
