#pragma once
// What the fuzz checks share: scratch files of their own, the headless host, and the
// load-save-load check of a whole record file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"
#include "fuzz/FuzzChecks.h"

namespace fuzz {

using Bytes = std::vector<uint8_t>;

// One scratch file per process and purpose, in a folder of the process's own, so that parallel
// runs never share one. It is an absolute host path, which the project path layer reads
// unchanged.
std::string ScratchPath(const char* lpPurpose);
// Writes the bytes; aborts when the scratch file cannot be written (that is no finding).
void WriteScratch(const std::string& path, const uint8_t* data, size_t size);
Bytes ReadFileBytes(const std::string& path);

// The headless host, and no message box left over from the last input.
void PrepareHost();

// Saves a whole record file with the class's own SaveToFile and gives its bytes (empty when the
// save failed).
Bytes SavedBytes(cFieldListRecord& record, const char* lpPurpose);

// Loads the input as a whole record file into a record made by make(). A refused input must
// leave that record as it was (it saves to the same bytes as before); a loaded one must save,
// load again into a new record and save to the same bytes.
FuzzOutcome CheckRecordFile(const uint8_t* data, size_t size,
                            const std::function<std::unique_ptr<cFieldListRecord>()>& make);

template <class T>
FuzzOutcome CheckWholeFile(const uint8_t* data, size_t size)
{
    return CheckRecordFile(data, size, [] { return std::make_unique<T>(); });
}

// The seed makers of the targets, by group.
std::vector<Bytes> PlayerFileSeeds(const std::string& strTarget);
std::vector<Bytes> MediaSeeds(const std::string& strTarget);

}  // namespace fuzz
