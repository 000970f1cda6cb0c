// A record stream over memory that keeps a view of the bytes it owns.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/memory_stream.h"
#include "core/persrec.h"

template <class Memory = core::MemoryStream>
struct RecordFile {
    Memory* memory = nullptr;
    std::unique_ptr<core::TRecordStream> stream;

    explicit RecordFile(std::vector<uint8_t> bytes = {}) {
        auto owned = std::make_unique<Memory>(std::move(bytes));
        memory = owned.get();
        stream = std::make_unique<core::TRecordStream>(std::move(owned));
    }
};
