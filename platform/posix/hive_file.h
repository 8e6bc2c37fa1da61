#pragma once
// The state of one binary registry hive file of an installed Windows, worked out from its base
// block and those of its transaction logs (<hive>.LOG1, <hive>.LOG2) the way Windows looks at them
// when it loads a hive. Nothing here writes.
//
// Facts of the format used here: the base block is the first 4096 bytes; "regf" at 0, primary
// sequence number at 4, secondary at 8, last-written time at 12, file type at 28 (0: hive, 1 and
// 6: transaction log of the old and the new kind), root cell offset at 36 and the size of the hive
// bins data at 40, both counted from byte 4096; the checksum at 508 is the XOR of the 127 32-bit
// words before it. The hive bins follow, each starting with "hbin", its own offset and its size (a
// multiple of 4096). Windows finishes every write of a hive by making both sequence numbers
// equal: a hive whose numbers differ, or whose checksum is wrong, was left half written. A log of
// the new kind holds entries from byte 512 on, each at a multiple of 512: "HvLE", its size, flags
// and the sequence number it brings the hive to.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hivora {

inline constexpr std::size_t kHiveBaseBlockSize = 4096;
inline constexpr std::size_t kHiveBinAlignment = 4096;

struct HiveBaseBlock {
    std::uint32_t primarySequence = 0;
    std::uint32_t secondarySequence = 0;
    std::uint64_t lastWritten = 0;
    std::uint32_t fileType = 0;
    std::uint32_t rootCellOffset = 0;
    std::uint32_t binsSize = 0;
    bool checksumRight = false;
};

// The checksum of the base block's first 508 bytes. Precondition: `block` holds at least 512.
std::uint32_t hiveBaseBlockChecksum(std::string_view block);

// The base block at the start of `bytes`; nothing when they are fewer than 512 or do not start
// with "regf".
std::optional<HiveBaseBlock> readHiveBaseBlock(std::string_view bytes);

enum class HiveCondition {
    Clean,       // may be read and written
    Dirty,       // half written: readable, never written
    LogsNewer,   // a transaction log holds newer changes: readable, never written
    Unreadable,  // not a hive, truncated, or its bins are broken: neither read nor written
};

struct HiveInspection {
    HiveCondition condition = HiveCondition::Unreadable;
    // For every condition but Clean: what is wrong, in Chinese, naming the file (no advice).
    std::string detail;
    std::uint64_t fileSize = 0;
};

// Checks the hive at `path`: its base block, that every hive bin the base block counts is there
// whole and in order (a file cut short anywhere is Unreadable, so the reader never meets it), and
// its logs (siblings named <file>.LOG1 and <file>.LOG2, in any case). Never fails: a file that
// cannot be read is Unreadable with the reason.
HiveInspection inspectHiveFile(const std::string& path);

// The same checks on the hive's bytes and its logs' bytes (empty: no such log); `name` is used
// in the messages.
HiveInspection inspectHiveBytes(const std::string& name, std::string_view hive,
                                std::string_view log1, std::string_view log2);

}  // namespace hivora
